// The two string tables side by side: the same ids, each once; every
// English text keeps the Chinese text's placeholders in kind and order, its
// line structure ("prompt\ntip") and its accelerator; the mnemonics of each
// menu are unique in both languages; and English texts carry no CJK
// characters beyond the few names that must stay as they are.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <set>

#include "res/string_ids.h"
#include "res/strings.h"

namespace {

const StrLang kLangs[] = {StrLang::Chinese, StrLang::English};

const char *Name(StrLang lang)
{
    return lang == StrLang::English ? "English" : "Chinese";
}

// printf conversions (flags, width, precision, length) and Qt's %1..%99.
QStringList Placeholders(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("%(?:%|[-+ #0]*\\d*(?:\\.\\d+)?(?:hh|h|ll|l|z)?[diouxXcsfeEgGp]|\\d{1,2})"));
    QStringList found;
    for (auto it = re.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    return found;
}

// The mnemonic letter of a menu text ("&File", "文件(&F)"), lower case; a
// null QChar when there is none. "&&" is a literal ampersand.
QChar Mnemonic(const QString &text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        ++i;
    }
    return QChar();
}

bool HasCjk(const QString &text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if ((u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

// English texts that keep Chinese on purpose: the language menu names each
// language in its own script.
const std::set<int> kCjkAllowed = {IDS_LANG_MENU, IDS_LANG_CHINESE};

// Each menu and each dialog with mnemonics as its items' text ids, in the
// order the program builds them.
const std::vector<std::pair<const char *, std::vector<int>>> kMenus = {
    {"menu bar", {IDS_MENU_FILE, IDS_MENU_VIEW, IDS_MENU_DEVICE, IDS_MENU_BATCH}},
    {"File",
     {IDS_MENU_OPEN_PICTURE, IDS_MENU_OPEN_FONT, IDS_MENU_FONT_GEN, IDS_MENU_CLOSE_FILE, IDS_MENU_CLOSE_ALL,
      IDS_MENU_RECENT_FILES, IDS_MENU_EXIT}},
    {"View", {IDS_MENU_HOME, IDS_MENU_WORKSPACE, IDS_MENU_OUTPUT, IDS_LANG_MENU}},
    {"View/Language", {IDS_LANG_CHINESE, IDS_LANG_ENGLISH}},
    {"Device",
     {IDS_MENU_SAVE_PICTURE, IDS_MENU_BROWSE_PICTURES, IDS_MENU_BACKLIGHT_OFF, IDS_MENU_BACKLIGHT_ON,
      IDS_MENU_CLEAR_SCREEN, IDS_MENU_SET_BAUD, IDS_MENU_TOUCH_CALIBRATE, IDS_MENU_TOUCH_EXPERIENCE}},
    {"Batch", {IDS_MENU_BATCH_NEW, IDS_MENU_BATCH_CONFIG, IDS_MENU_BATCH_RUN}},
    {"bars", {IDS_BAR_STD_TITLE, IDS_BAR_DEV_TITLE, IDS_BAR_PIC_TITLE, IDS_STATUSBAR_TITLE, IDS_MENU_WORKSPACE,
              IDS_MENU_OUTPUT}},
    {"connect modes", {IDS_MENU_SET_MODE0, IDS_MENU_SET_MODE1}},
    {"log", {IDS_TK_LOG_COPY, IDS_TK_LOG_SELECTALL, IDS_TK_LOG_CLEAR, IDS_TK_LOG_DESCRIPTIONS, IDS_TK_LOG_EXPORT}},
    {"font view",
     {IDS_IMG_MENU_GLYPH_SIZE, IDS_IMG_MENU_COLUMNS, IDS_IMG_MENU_FRAMES, IDS_IMG_MENU_OPEN_FONT,
      IDS_IMG_MENU_SEND_FONT}},
    {"dither", {IDS_IMG_DITHER_NONE, IDS_IMG_DITHER_ORDERED, IDS_IMG_DITHER_DIFFUSION}},
    {"batch list", {IDS_BATCHCFG_DELETE, IDS_BATCHCFG_DELETE_ALL}},
    {"batch dialog", {IDS_BATCHCFG_AVAILABLE, IDS_BATCHCFG_SELECTED, IDS_BATCHCFG_SAVE}},
    {"set baud dialog", {IDS_SETBAUD_LABEL, IDS_DLG_OK, IDS_DLG_CANCEL}},
};

} // namespace

TEST(StringTables, SameIdsEachOnce)
{
    std::vector<int> ids[2];
    for (int l = 0; l < 2; ++l) {
        ids[l] = AllStrIds(kLangs[l]);
        std::sort(ids[l].begin(), ids[l].end());
        const auto dup = std::adjacent_find(ids[l].begin(), ids[l].end());
        EXPECT_EQ(dup, ids[l].end()) << Name(kLangs[l]) << " has id " << *dup << " twice";
    }
    for (int l = 0; l < 2; ++l)
        for (int id : ids[l])
            EXPECT_TRUE(HasStrIn(kLangs[1 - l], id))
                << "id " << id << " (" << qPrintable(LoadStrIn(kLangs[l], id)) << ") has no "
                << Name(kLangs[1 - l]) << " text";
    EXPECT_GT(ids[0].size(), 500u);
}

TEST(StringTables, EnglishKeepsPlaceholdersLinesAndAccelerators)
{
    for (int id : AllStrIds(StrLang::Chinese)) {
        if (!HasStrIn(StrLang::English, id))
            continue;  // reported by SameIdsEachOnce
        const QString zh = LoadStrIn(StrLang::Chinese, id);
        const QString en = LoadStrIn(StrLang::English, id);
        SCOPED_TRACE(testing::Message() << "id " << id << ": " << qPrintable(zh) << " / " << qPrintable(en));
        EXPECT_FALSE(en.trimmed().isEmpty() && !zh.trimmed().isEmpty());
        EXPECT_EQ(Placeholders(en), Placeholders(zh));
        EXPECT_EQ(en.count(QLatin1Char('\n')), zh.count(QLatin1Char('\n')));
        EXPECT_EQ(en.section(QLatin1Char('\t'), 1), zh.section(QLatin1Char('\t'), 1));
        EXPECT_EQ(Mnemonic(en).isNull(), Mnemonic(zh).isNull());
        if (!kCjkAllowed.count(id)) {
            EXPECT_FALSE(HasCjk(en));
        }
    }
}

TEST(StringTables, MnemonicsUniquePerMenu)
{
    for (const auto &[menu, items] : kMenus) {
        for (StrLang lang : kLangs) {
            QSet<QChar> seen;
            for (int id : items) {
                ASSERT_TRUE(HasStrIn(lang, id)) << menu << ": id " << id;
                const QChar m = Mnemonic(LoadStrIn(lang, id));
                if (m.isNull())
                    continue;
                EXPECT_FALSE(seen.contains(m)) << Name(lang) << " " << menu << ": '" << qPrintable(QString(m))
                                               << "' again in " << qPrintable(LoadStrIn(lang, id));
                seen.insert(m);
            }
        }
    }
}

TEST(StringTables, PlaceholderAndMnemonicReaders)
{
    // The readers the checks above rely on.
    EXPECT_EQ(Placeholders(QStringLiteral("共%d字节（%d%%），%02X %.1f 秒 %s “%1”")),
              (QStringList{"%d", "%d", "%%", "%02X", "%.1f", "%s", "%1"}));
    EXPECT_EQ(Mnemonic(QStringLiteral("保存在(&A):")), QLatin1Char('a'));
    EXPECT_EQ(Mnemonic(QStringLiteral("R&&D &Notes")), QLatin1Char('n'));
    EXPECT_TRUE(Mnemonic(QStringLiteral("R&&D")).isNull());
    EXPECT_TRUE(HasCjk(QStringLiteral("端口：")));
    EXPECT_TRUE(HasCjk(QStringLiteral("Port：")));  // a full-width colon
    EXPECT_FALSE(HasCjk(QStringLiteral("Port: \"COM1\" <<")));
}
