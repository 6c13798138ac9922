// Writing and reading batch files.
#include "batch/batch_file.h"
#include "batch/batch_runner.h"
#include "batch/recent_batch_files.h"
#include "batch_test_host.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <random>

using namespace BATCHCMD;

namespace
{

const QString kInvalid = QStringLiteral("Box 0 1 这不是有效的批处理文件");
const QString kBadVersion = QStringLiteral("Box 0 1 批处理文件版本不正确，无法加载该文件");
const QString kBadRes = QStringLiteral("Box 0 1 这个批处理文件所对应的设备屏幕分辨率不匹配，无法加载");

// The seventeen kinds, in table order, with the parameters of the expected file.
CBatchCmdList AllKinds()
{
    CBatchCmdList list;
    CBatchCmdData c = NewCmd(SetMode);
    c.mode.nMode = 1;
    list.push_back(c);
    c = NewCmd(SetBaud);
    c.baud.nBaud = 115200;
    list.push_back(c);
    c = NewCmd(SetPCBaud);
    c.baud.nBaud = 9600;
    list.push_back(c);
    list.push_back(NewCmd(ClearScreen));
    c = NewCmd(SendPicture);
    c.picture.crBkColor = 0xFFFFFF;
    SetField(c.picture.szPath, QStringLiteral("/tmp/pic & <one>.png"));
    list.push_back(c);
    c = NewCmd(SavePicture);
    c.picture.nID = 3;
    list.push_back(c);
    c = NewCmd(ShowPicture);
    list.push_back(c);
    c = NewCmd(ClearPicture);
    c.picture.nID = 7;
    list.push_back(c);
    list.push_back(NewCmd(ClearAllPictures));
    c = NewCmd(SendFont);
    c.font.nWidth = 16;
    c.font.nHeight = 16;
    SetField(c.font.szPath, QStringLiteral("/fonts/hz16.fnt"));
    list.push_back(c);
    c = NewCmd(ShowText);
    c.text.nFontWidth = 12;
    c.text.nFontHeight = 24;
    c.text.nX = 10;
    c.text.nY = 20;
    SetField(c.text.szText, QStringLiteral("你好 \"QEL\""));
    list.push_back(c);
    c = NewCmd(SetColor);
    c.color.crFore = 0xFFFFFF;
    c.color.crBack = 0xFF;
    list.push_back(c);
    c = NewCmd(Anchor);
    SetField(c.anchor.szName, QStringLiteral("start"));
    list.push_back(c);
    c = NewCmd(Repeat);
    SetField(c.repeat.szAnchor, QStringLiteral("start"));
    SetField(c.repeat.szPrompt, QStringLiteral("再来一次？"));
    list.push_back(c);
    c = NewCmd(Pause);
    c.pause.nElapse = -5;
    list.push_back(c);
    c = NewCmd(Message);
    SetField(c.message.szText, QStringLiteral("第一行\n第二行"));
    list.push_back(c);
    c = NewCmd(Sound);
    SetField(c.sound.szPath, QStringLiteral("/snd/ding.wav"));
    list.push_back(c);
    return list;
}

// The expected files: QEL_TEST_DATA, or the data folder beside this source.
QString TestDataDir()
{
    const QString env = QString::fromLocal8Bit(qgetenv("QEL_TEST_DATA"));
    if (!env.isEmpty())
        return env;
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../data");
}

class BatchFileTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        host.Connect(320, 240, true, 0, 0);
    }
    // Loads bytes written to a file; the list holds what was read.
    bool LoadBytes(const QByteArray &bytes)
    {
        CBatchFile file(host);
        return file.Load(WriteFile(dir, QStringLiteral("in.kbz"), bytes), list);
    }
    bool LoadCommands(const QString &markup) { return LoadBytes(BatchDoc(markup)); }

    QTemporaryDir dir;
    CScriptHost host;
    CBatchCmdList list;
};

} // namespace

TEST_F(BatchFileTest, WrittenDocumentMatchesTheExpectedFile)
{
    const QString path = dir.filePath(QStringLiteral("all.kbz"));
    CBatchFile file(host);
    ASSERT_TRUE(file.Save(AllKinds(), path));
    EXPECT_EQ(file.Path(), path);
    const QByteArray expected = ReadFile(TestDataDir() + QStringLiteral("/batch/all_kinds.kbz"));
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_TRUE(host.Statuses().isEmpty());
}

TEST_F(BatchFileTest, RoundTripOfAllSeventeenKinds)
{
    const CBatchCmdList written = AllKinds();
    ASSERT_EQ(written.size(), 17u);
    const QString path = dir.filePath(QStringLiteral("rt.kbz"));
    ASSERT_TRUE(CBatchFile(host).Save(written, path));
    ASSERT_TRUE(CBatchFile(host).Load(path, list));
    ASSERT_EQ(list.size(), written.size());
    auto a = written.begin();
    for (auto b = list.begin(); b != list.end(); ++a, ++b)
        EXPECT_EQ(std::memcmp(&*a, &*b, sizeof(CBatchCmdData)), 0) << KindDisplayName(a->nType).toStdString();
    EXPECT_TRUE(host.calls.isEmpty()) << host.calls.join(QLatin1Char('|')).toStdString();
}

TEST_F(BatchFileTest, PackedPairsAndSignedForms)
{
    CBatchCmdList l;
    CBatchCmdData c = NewCmd(ShowText);
    c.text.nX = -1;
    c.text.nY = 0;
    c.text.nFontWidth = 16;
    c.text.nFontHeight = 32;
    l.push_back(c);
    c = NewCmd(ShowText);
    c.text.nX = 0;
    c.text.nY = -1; // the high member is written as a signed 16-bit value
    l.push_back(c);
    c = NewCmd(SetColor);
    c.color.crFore = 0xFFFFFFFFu;
    l.push_back(c);
    c = NewCmd(SavePicture);
    c.picture.nID = -1;
    l.push_back(c);
    c = NewCmd(123); // not a kind: skipped
    c.nType = 123;
    l.push_back(c);
    const QString text = QString::fromUtf8(CBatchFile::Serialize(l, 0));
    EXPECT_TRUE(text.contains(QStringLiteral("<ShowText Font=\"2097168\" Position=\"65535\" Text=\"\"/>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<ShowText Font=\"0\" Position=\"-65536\" Text=\"\"/>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<SetColor Fore=\"4294967295\" Back=\"0\"/>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<SavePicture ID=\"-1\"/>")));
    EXPECT_FALSE(text.contains(QStringLiteral("123")));
}

TEST_F(BatchFileTest, EmptyListWritesAnEmptyCommandsElement)
{
    host.link.open = false; // no terminal: resolution 0
    const QString path = dir.filePath(QStringLiteral("empty.kbz"));
    ASSERT_TRUE(CBatchFile(host).Save(CBatchCmdList(), path));
    EXPECT_EQ(ReadFile(path),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                         "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"0\"><Commands/></Document>\n"));
    ASSERT_TRUE(CBatchFile(host).Load(path, list));
    EXPECT_TRUE(list.empty());
}

TEST_F(BatchFileTest, PositionXMinusOneReadsBack65535)
{
    CBatchCmdList l;
    CBatchCmdData c = NewCmd(ShowText);
    c.text.nX = -1;
    c.text.nY = 7;
    l.push_back(c);
    const QString path = dir.filePath(QStringLiteral("pos.kbz"));
    ASSERT_TRUE(CBatchFile(host).Save(l, path));
    ASSERT_TRUE(CBatchFile(host).Load(path, list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.front().text.nX, 65535);
    EXPECT_EQ(list.front().text.nY, 7);
}

TEST_F(BatchFileTest, LongTextsAreCutToTheirFields)
{
    const QString text200(200, QChar(0x4E00));
    const QString path300 = QStringLiteral("/") + QString(299, QLatin1Char('p'));
    ASSERT_TRUE(LoadCommands(QStringLiteral("<ShowText Text=\"%1\"/><Sound Path=\"%2\"/><Anchor Name=\"%3\"/>"
                                            "<Repeat Anchor=\"%3\" Prompt=\"%1\"/><Message Text=\"%2\"/>")
                                 .arg(text200, path300, QString(80, QLatin1Char('n')))));
    ASSERT_EQ(list.size(), 5u);
    auto it = list.begin();
    EXPECT_EQ(GetField(it->text.szText), text200.left(127));
    ++it;
    EXPECT_EQ(GetField(it->sound.szPath), path300.left(259));
    ++it;
    EXPECT_EQ(GetField(it->anchor.szName), QString(63, QLatin1Char('n')));
    ++it;
    EXPECT_EQ(GetField(it->repeat.szAnchor).size(), 63);
    EXPECT_EQ(GetField(it->repeat.szPrompt), text200.left(127));
    ++it;
    EXPECT_EQ(GetField(it->message.szText), path300.left(259));
}

TEST_F(BatchFileTest, ElementNamesInAnyCaseAttributeNamesExact)
{
    ASSERT_TRUE(
        LoadCommands(QStringLiteral("<setmode Mode=\"1\"/><SETMODE mode=\"1\"/><sEtBaUd Baud=\"9600\"/>"
                                    "<pause/><Unknown Mode=\"1\"/><!-- SetMode --><?SetMode Mode=\"1\"?>"
                                    "text<clearscreen/>")));
    ASSERT_EQ(list.size(), 5u);
    auto it = list.begin();
    EXPECT_EQ(it->nType, 0);
    EXPECT_EQ(it->mode.nMode, 1);
    EXPECT_EQ(it->nNameID, 20120);
    ++it;
    EXPECT_EQ(it->nType, 0);
    EXPECT_EQ(it->mode.nMode, 0); // "mode" is not "Mode"
    ++it;
    EXPECT_EQ(it->nType, 1);
    EXPECT_EQ(it->baud.nBaud, 9600);
    ++it;
    EXPECT_EQ(it->nType, 259);
    EXPECT_EQ(it->pause.nElapse, 0); // absent attribute
    ++it;
    EXPECT_EQ(it->nType, 2);
}

TEST_F(BatchFileTest, AvailabilityDropsSetModeAndSendFont)
{
    const QString markup =
        QStringLiteral("<SetMode Mode=\"0\"/><ClearScreen/><SendFont Size=\"1048592\" Path=\"/f.fnt\"/>"
                       "<SetPCBaud Baud=\"9600\"/>");
    host.term.Info().modeWord = 0xFF00; // not mode-capable
    host.term.Info().hardFont = 1;
    ASSERT_TRUE(LoadCommands(markup));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.front().nType, 2);
    EXPECT_EQ(list.back().nType, 261);
    EXPECT_EQ(list.back().baud.nBaud, 9600);

    host.term.Info().modeWord = 0x0001;
    host.term.Info().hardFont = 0;
    ASSERT_TRUE(LoadCommands(markup));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(std::next(list.begin(), 2)->font.nWidth, 16);
    EXPECT_EQ(std::next(list.begin(), 2)->font.nHeight, 16);
}

TEST_F(BatchFileTest, NotAValidBatchFile)
{
    const QByteArray cases[] = {
        QByteArray("this is not xml"),
        QByteArray(),
        BatchDoc(QStringLiteral("<ClearScreen/>")).left(60), // cut short
        QByteArray(
            "<?xml version=\"1.0\"?><Document Model=\"QEL-A\" Res=\"15728960\"><Commands/></Document>"),
        QByteArray("<?xml version=\"1.0\"?><Document Ver=\"1.1\" Res=\"15728960\"><Commands/></Document>"),
        QByteArray("<?xml version=\"1.0\"?><Document Ver=\"1.1\" Model=\"QEL-A\"><Commands/></Document>"),
        QByteArray(
            "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\"><Commands>&nbsp;</Commands></Document>"),
        QByteArray(
            "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\"><Commands><Message Text=\"\xff\xfe\"/>"
            "</Commands></Document>"), // not UTF-8
        QByteArray("<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\"><Commands/>\0</Document>", 72),
        QByteArray(
            "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\"><Commands/></Document><Document/>"),
    };
    for (const QByteArray &bytes : cases) {
        SCOPED_TRACE(bytes.toStdString());
        host.calls.clear();
        EXPECT_FALSE(LoadBytes(bytes));
        EXPECT_EQ(host.calls, QStringList{kInvalid});
    }
    // A missing file, a folder and a FIFO without a writer (opening it for
    // reading would wait for one).
    host.calls.clear();
    const QString fifo = dir.filePath(QStringLiteral("fifo.kbz"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(CBatchFile(host).Load(dir.filePath(QStringLiteral("missing.kbz")), list));
    EXPECT_FALSE(CBatchFile(host).Load(dir.path(), list));
    EXPECT_FALSE(CBatchFile(host).Load(fifo, list));
    EXPECT_EQ(host.calls, (QStringList{kInvalid, kInvalid, kInvalid}));
}

// A few hundred files mutated at random from the one with every kind (fixed
// seed): each either loads, and then saves to a file that loads to the same
// list, or is refused with exactly one message.
TEST_F(BatchFileTest, MutatedFilesLoadWholeOrAreRefusedOnce)
{
    QFile source(TestDataDir() + QStringLiteral("/batch/all_kinds.kbz"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray original = source.readAll();
    std::mt19937 random(14);
    const auto below = [&](qsizetype n) { return static_cast<qsizetype>(random() % std::max<qsizetype>(n, 1)); };
    const char tokens[][12] = {"<", ">", "\"", "/>", "&amp;", "&#0;", "=", "-1", "99999999999", "\xff", "<!--"};
    int loaded = 0;
    for (int variant = 0; variant < 300; ++variant) {
        QByteArray bytes = original;
        for (int edit = 1 + below(4); edit > 0; --edit) {
            const qsizetype at = below(bytes.size());
            switch (below(5)) {
            case 0:
                bytes[at] = static_cast<char>(random());
                break;
            case 1:
                bytes.remove(at, 1 + below(16));
                break;
            case 2:
                bytes.insert(at, bytes.mid(below(bytes.size()), 1 + below(32)));
                break;
            case 3:
                bytes.insert(at, tokens[below(std::size(tokens))]);
                break;
            default:
                bytes.truncate(at);
                break;
            }
        }
        SCOPED_TRACE(variant);
        host.calls.clear();
        if (LoadBytes(bytes)) {
            ++loaded;
            EXPECT_TRUE(host.calls.isEmpty()) << host.calls.join(QLatin1Char('|')).toStdString();
            const CBatchCmdList first = list;
            ASSERT_TRUE(CBatchFile(host).Save(first, dir.filePath(QStringLiteral("again.kbz"))));
            ASSERT_TRUE(CBatchFile(host).Load(dir.filePath(QStringLiteral("again.kbz")), list));
            EXPECT_EQ(CBatchFile::Serialize(list, 0), CBatchFile::Serialize(first, 0));
        } else {
            ASSERT_EQ(host.calls.size(), 1) << bytes.toStdString();
            EXPECT_TRUE(host.calls[0].startsWith(QLatin1String("Box ")) ||
                        host.calls[0].startsWith(QLatin1String("Status 3 ")))
                << host.calls[0].toStdString();
        }
    }
    // Some mutations leave a valid file (a changed number or text).
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, 300);
}

TEST_F(BatchFileTest, RootNameIsNotChecked)
{
    ASSERT_TRUE(
        LoadBytes(QByteArray("<Other Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\"><Commands><ClearScreen/>"
                             "</Commands></Other>")));
    EXPECT_EQ(list.size(), 1u);
}

TEST_F(BatchFileTest, VersionAndModelChecks)
{
    for (const char *ver : {"1.10", " 1.1", "1.0", "1.1 ", ""}) {
        host.calls.clear();
        EXPECT_FALSE(LoadBytes(BatchDoc(QString(), QStringLiteral("15728960"), QString::fromLatin1(ver))))
            << ver;
        EXPECT_EQ(host.calls, QStringList{kBadVersion}) << ver;
    }
    for (const char *model : {"QEL-B", "qel-a", ""}) {
        host.calls.clear();
        EXPECT_FALSE(LoadBytes(BatchDoc(QString(), QStringLiteral("15728960"), QStringLiteral("1.1"),
                                        QString::fromLatin1(model))))
            << model;
        EXPECT_EQ(host.calls, QStringList{kBadVersion}) << model;
    }
}

TEST_F(BatchFileTest, ResolutionCheck)
{
    host.Connect(800, 480, true, 0, 0); // expects 31458080
    EXPECT_FALSE(LoadBytes(BatchDoc(QStringLiteral("<ClearScreen/>"))));
    EXPECT_EQ(host.calls, QStringList{kBadRes});
    host.calls.clear();
    EXPECT_TRUE(LoadBytes(BatchDoc(QStringLiteral("<ClearScreen/>"), QStringLiteral("31458080"))));
    EXPECT_TRUE(host.calls.isEmpty());

    // Without a terminal only "Res" 0 passes.
    host.link.open = false;
    host.calls.clear();
    EXPECT_FALSE(LoadBytes(BatchDoc(QString(), QStringLiteral("31458080"))));
    EXPECT_EQ(host.calls, QStringList{kBadRes});
    EXPECT_TRUE(LoadBytes(BatchDoc(QString(), QStringLiteral("0"))));
}

TEST_F(BatchFileTest, StatusBarFailures)
{
    struct Case {
        QByteArray bytes;
        const char *status;
    };
    const Case cases[] = {
        {QByteArray("<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\"><commands/></Document>"),
         "批处理文件中没有“Commands”元素"},
        {BatchDoc(QString(), QStringLiteral("big")),
         "批处理文件中“Document”元素的属性“Res”的值“big”不是有效的数字"},
        {BatchDoc(QStringLiteral("<ClearScreen/><SetBaud Baud=\"fast\"/>")),
         "批处理文件中“SetBaud”元素的属性“Baud”的值“fast”不是有效的数字"},
        {BatchDoc(QStringLiteral("<SetColor Fore=\"-1\"/>")),
         "批处理文件中“SetColor”元素的属性“Fore”的值“-1”不是有效的数字"},
        {BatchDoc(QStringLiteral("<SetColor Back=\"4294967296\"/>")),
         "批处理文件中“SetColor”元素的属性“Back”的值“4294967296”不是有效的数字"},
        {BatchDoc(QStringLiteral("<Pause Elapse=\"2147483648\"/>")),
         "批处理文件中“Pause”元素的属性“Elapse”的值“2147483648”不是有效的数字"},
        {BatchDoc(QStringLiteral("<ShowText Font=\"1.5\"/>")),
         "批处理文件中“ShowText”元素的属性“Font”的值“1.5”不是有效的数字"},
        {BatchDoc(QStringLiteral("<ShowPicture ID=\"\"/>")),
         "批处理文件中“ShowPicture”元素的属性“ID”的值“”不是有效的数字"},
        {BatchDoc(QStringLiteral("<SendPicture BkColor=\"0x10\"/>")),
         "批处理文件中“SendPicture”元素的属性“BkColor”的值“0x10”不是有效的数字"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.status);
        host.calls.clear();
        EXPECT_FALSE(LoadBytes(c.bytes));
        ASSERT_EQ(host.calls.size(), 1);
        EXPECT_TRUE(host.calls[0].startsWith(QStringLiteral("Status 3 ") + QString::fromUtf8(c.status)))
            << host.calls[0].toStdString();
    }
}

TEST_F(BatchFileTest, NumberFormsAccepted)
{
    ASSERT_TRUE(LoadCommands(QStringLiteral("<Pause Elapse=\" -2147483648 \"/><Pause Elapse=\"+17\"/>"
                                            "<SetColor Fore=\"4294967295\" Back=\"007\"/>")));
    ASSERT_EQ(list.size(), 3u);
    auto it = list.begin();
    EXPECT_EQ(it->pause.nElapse, INT32_MIN);
    EXPECT_EQ((++it)->pause.nElapse, 17);
    ++it;
    EXPECT_EQ(it->color.crFore, 0xFFFFFFFFu);
    EXPECT_EQ(it->color.crBack, 7u);
}

TEST_F(BatchFileTest, EntityTricksAreRejected)
{
    const QByteArray expansion =
        "<?xml version=\"1.0\"?><!DOCTYPE Document [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">]>"
        "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\"><Commands><Message "
        "Text=\"&e;\"/></Commands></Document>";
    const QByteArray external =
        "<?xml version=\"1.0\"?><!DOCTYPE Document [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
        "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\"><Commands><Message "
        "Text=\"&x;\"/></Commands></Document>";
    const QByteArray plainDoctype =
        "<?xml version=\"1.0\"?><!DOCTYPE Document SYSTEM \"http://example.invalid/batch.dtd\">"
        "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\"><Commands/></Document>";
    for (const QByteArray &bytes : {expansion, external, plainDoctype}) {
        host.calls.clear();
        EXPECT_FALSE(LoadBytes(bytes));
        EXPECT_EQ(host.calls, QStringList{kInvalid});
        EXPECT_TRUE(list.empty());
    }
}

TEST_F(BatchFileTest, SizeAndNodeLimits)
{
    // Thousands of commands load.
    QString many;
    for (int i = 0; i < 5000; ++i)
        many += QStringLiteral("<Pause Elapse=\"%1\"/>").arg(i);
    ASSERT_TRUE(LoadCommands(many));
    ASSERT_EQ(list.size(), 5000u);
    EXPECT_EQ(list.back().pause.nElapse, 4999);

    // Beyond 4 MB: refused before parsing.
    QByteArray huge = BatchDoc(QString());
    huge.insert(huge.indexOf("<Commands>"), QByteArray(4 * 1024 * 1024, ' '));
    host.calls.clear();
    EXPECT_FALSE(LoadBytes(huge));
    ASSERT_EQ(host.calls.size(), 1);
    EXPECT_TRUE(host.calls[0].startsWith(QStringLiteral("Status 3 批处理文件太大（超过 4096 KB）")))
        << host.calls[0].toStdString();

    // More than 100000 nodes.
    QString nodes;
    nodes.reserve(100001 * 4);
    for (int i = 0; i < 100001; ++i)
        nodes += QLatin1String("<a/>");
    host.calls.clear();
    EXPECT_FALSE(LoadCommands(nodes));
    ASSERT_EQ(host.calls.size(), 1);
    EXPECT_TRUE(
        host.calls[0].startsWith(QStringLiteral("Status 3 批处理文件包含的节点太多（超过 100000 个）")))
        << host.calls[0].toStdString();

    // Deep nesting.
    QString deep;
    for (int i = 0; i < 5000; ++i)
        deep += QLatin1String("<x>");
    for (int i = 0; i < 5000; ++i)
        deep += QLatin1String("</x>");
    host.calls.clear();
    EXPECT_FALSE(LoadCommands(deep));
    EXPECT_EQ(host.calls, QStringList{kInvalid});
}

TEST_F(BatchFileTest, SaveFailureIsReportedAndLeavesTheOldFile)
{
    // The folder does not exist.
    const QString bad = dir.filePath(QStringLiteral("no/such/folder/x.kbz"));
    EXPECT_FALSE(CBatchFile(host).Save(AllKinds(), bad));
    ASSERT_EQ(host.calls.size(), 1);
    EXPECT_TRUE(host.calls[0].startsWith(QStringLiteral("Status 3 批处理文件保存失败 ") + bad +
                                         QStringLiteral("：")));
    EXPECT_GT(host.calls[0].size(),
              (QStringLiteral("Status 3 批处理文件保存失败 ") + bad + QStringLiteral("：")).size());
    EXPECT_FALSE(QFile::exists(bad));

    // A path that is a folder: the old content stays untouched elsewhere.
    const QString old = WriteFile(dir, QStringLiteral("old.kbz"), QByteArray("old"));
    CMyRecentBatchFiles recent;
    host.calls.clear();
    EXPECT_FALSE(SaveBatchFile(host, recent, AllKinds(), dir.path()));
    EXPECT_EQ(host.calls.size(), 1);
    QString entry;
    EXPECT_FALSE(recent.GetEntry(0, &entry)); // not added after a failed save
    EXPECT_EQ(ReadFile(old), QByteArray("old"));

    // A successful save replaces the file whole and enters the recent list.
    host.calls.clear();
    EXPECT_TRUE(SaveBatchFile(host, recent, AllKinds(), old));
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_TRUE(ReadFile(old).startsWith("<?xml"));
    ASSERT_TRUE(recent.GetEntry(0, &entry));
    EXPECT_EQ(entry, old);
}

TEST_F(BatchFileTest, ControlCharactersCannotBreakTheFile)
{
    CBatchCmdList l;
    CBatchCmdData c = NewCmd(Message);
    SetField(c.message.szText, QStringLiteral("a\tb\rc") + QChar(0x01) + QStringLiteral("d") + QChar(0xD800) +
                                   QStringLiteral("e>"));
    l.push_back(c);
    const QString path = dir.filePath(QStringLiteral("ctl.kbz"));
    ASSERT_TRUE(CBatchFile(host).Save(l, path));
    EXPECT_TRUE(ReadFile(path).contains("Text=\"a&#9;b&#13;cde&gt;\""));
    ASSERT_TRUE(CBatchFile(host).Load(path, list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(GetField(list.front().message.szText), QStringLiteral("a\tb\rcde>"));
}
