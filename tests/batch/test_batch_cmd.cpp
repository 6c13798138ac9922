// The command record, the kind table and the availability rule.
#include "batch/batch_cmd.h"
#include "batch_test_host.h"
#include "res/strings.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace BATCHCMD;

TEST(BatchKinds, TableOrderCodesNamesAndIds)
{
    struct Row {
        int code;
        const char *name;
        int nameId;
        int descId;
        const char *display;
    };
    const Row expected[] = {
        {0, "SetMode", 20120, 20140, "[终端] 设置模式"},
        {1, "SetBaud", 20121, 20141, "[终端] 设置终端波特率"},
        {261, "SetPCBaud", 20136, 20156, "[电脑] 设置本机波特率"},
        {2, "ClearScreen", 20122, 20142, "[终端] 清除屏幕"},
        {3, "SendPicture", 20123, 20143, "[终端] 发送图象"},
        {4, "SavePicture", 20124, 20144, "[终端] 保存图象"},
        {5, "ShowPicture", 20125, 20145, "[终端] 显示图象"},
        {6, "ClearPicture", 20126, 20146, "[终端] 清除图象"},
        {7, "ClearAllPictures", 20127, 20147, "[终端] 清除所有图象"},
        {8, "SendFont", 20128, 20148, "[终端] 发送字库"},
        {9, "ShowText", 20129, 20149, "[终端] 发送文本"},
        {10, "SetColor", 20130, 20150, "[终端] 设置颜色"},
        {256, "Anchor", 20131, 20151, "[电脑] 重复标记"},
        {257, "Repeat", 20132, 20152, "[电脑] 重复上面的步骤"},
        {259, "Pause", 20133, 20153, "[电脑] 暂停"},
        {258, "Message", 20134, 20154, "[电脑] 显示提示消息框"},
        {260, "Sound", 20135, 20155, "[电脑] 播放提示音"},
    };
    ASSERT_EQ(KindCount(), 17);
    for (int i = 0; i < 17; ++i) {
        SCOPED_TRACE(expected[i].name);
        const CBatchKind &k = KindTable()[i];
        EXPECT_EQ(k.code, expected[i].code);
        EXPECT_STREQ(k.name, expected[i].name);
        EXPECT_EQ(k.nameId, expected[i].nameId);
        EXPECT_EQ(k.descId, expected[i].descId);
        EXPECT_EQ(KindDisplayName(k.code), QString::fromUtf8(expected[i].display));
        EXPECT_FALSE(KindDescription(k.code).isEmpty());
        EXPECT_EQ(FindKind(expected[i].code), &k);
    }
}

TEST(BatchKinds, DescriptionTexts)
{
    EXPECT_EQ(KindDescription(SetPCBaud), QStringLiteral("设置本机的波特率，您需要输入波特率"));
    EXPECT_EQ(
        KindDescription(Repeat),
        QStringLiteral("重复执行上面指定位置的命令，这位置由[重复标记]决定\n如果只有一个重复命令可以不输入"));
    EXPECT_EQ(KindDescription(Pause), QStringLiteral("暂停指定时间，单位是毫秒（1秒=1000毫秒）"));
    EXPECT_EQ(LoadStr(20156), QStringLiteral("设置本机的波特率，您需要输入波特率"));
}

TEST(BatchKinds, CodesThatAreNotKinds)
{
    for (int code : {-1, 11, 100, 255, 262, 1000}) {
        EXPECT_EQ(FindKind(code), nullptr) << code;
        EXPECT_TRUE(KindDisplayName(code).isEmpty()) << code;
        CBatchCmdData cmd = ZeroCmd();
        cmd.nType = code;
        FillIds(cmd);
        EXPECT_EQ(cmd.nNameID, 0);
        EXPECT_EQ(cmd.nDescID, 0);
    }
}

TEST(BatchKinds, NameLookupIgnoresCase)
{
    EXPECT_EQ(KindFromName(QStringLiteral("SetMode")), 0);
    EXPECT_EQ(KindFromName(QStringLiteral("setmode")), 0);
    EXPECT_EQ(KindFromName(QStringLiteral("SETPCBAUD")), 261);
    EXPECT_EQ(KindFromName(QStringLiteral("cLeArAlLpIcTuReS")), 7);
    EXPECT_EQ(KindFromName(QStringLiteral("Sound")), 260);
    EXPECT_EQ(KindFromName(QStringLiteral("SetModes")), -1);
    EXPECT_EQ(KindFromName(QStringLiteral("Set Mode")), -1);
    EXPECT_EQ(KindFromName(QStringLiteral("#text")), -1);
    EXPECT_EQ(KindFromName(QString()), -1);
}

TEST(BatchRecord, NewRecordDefaultsAndZeroedBytes)
{
    const CBatchCmdData pic = NewCmd(SendPicture);
    EXPECT_EQ(pic.nType, 3);
    EXPECT_EQ(pic.nNameID, 20123);
    EXPECT_EQ(pic.nDescID, 20143);
    EXPECT_EQ(pic.picture.bKeepAspectRatio, 1);
    EXPECT_EQ(pic.picture.crBkColor, 0u);
    EXPECT_EQ(pic.picture.nID, 0);
    EXPECT_EQ(pic.picture.szPath[0], 0);

    // Every other kind: all parameter bytes zero.
    for (int i = 0; i < KindCount(); ++i) {
        const int code = KindTable()[i].code;
        if (code == SendPicture)
            continue;
        const CBatchCmdData cmd = NewCmd(code);
        const unsigned char *p = reinterpret_cast<const unsigned char *>(&cmd.picture);
        size_t nonZero = 0;
        for (size_t b = 0; b < sizeof(CParamPicture); ++b)
            nonZero += p[b] != 0;
        EXPECT_EQ(nonZero, 0u) << KindTable()[i].name;
    }
    EXPECT_EQ(sizeof(CBatchCmdData), 12u + 12u + 520u);
}

TEST(BatchRecord, CopiesAreIndependent)
{
    CBatchCmdData a = NewCmd(ShowText);
    SetField(a.text.szText, QStringLiteral("一"));
    CBatchCmdData b = a;
    SetField(b.text.szText, QStringLiteral("二"));
    b.text.nX = 5;
    EXPECT_EQ(GetField(a.text.szText), QStringLiteral("一"));
    EXPECT_EQ(a.text.nX, 0);
    EXPECT_EQ(GetField(b.text.szText), QStringLiteral("二"));
}

TEST(BatchRecord, TextFieldsKeepSizeMinusOne)
{
    CBatchCmdData cmd = NewCmd(ShowText);
    const QString exact(127, QLatin1Char('a'));
    SetField(cmd.text.szText, exact);
    EXPECT_EQ(GetField(cmd.text.szText), exact);
    SetField(cmd.text.szText, QString(200, QLatin1Char('b')));
    EXPECT_EQ(GetField(cmd.text.szText), QString(127, QLatin1Char('b')));
    EXPECT_EQ(cmd.text.szText[127], 0);

    // A shorter text after a longer one leaves no stale units behind.
    SetField(cmd.text.szText, QStringLiteral("xy"));
    EXPECT_EQ(cmd.text.szText[2], 0);
    EXPECT_EQ(cmd.text.szText[100], 0);

    CBatchCmdData anchor = NewCmd(Anchor);
    SetField(anchor.anchor.szName, QString(64, QLatin1Char('n')));
    EXPECT_EQ(GetField(anchor.anchor.szName).size(), 63);

    // A surrogate pair that would be split by the cut is left out whole.
    QString withPair = QString(126, QLatin1Char('c'));
    withPair += QString::fromUcs4(U"\U0001F600");
    SetField(cmd.text.szText, withPair);
    EXPECT_EQ(GetField(cmd.text.szText), QString(126, QLatin1Char('c')));
}

TEST(BatchAvailability, DisconnectedTerminal)
{
    CScriptHost host; // port closed, information reset
    const CMyTerminal &t = host.term;
    EXPECT_FALSE(IsCommandAvailable(SetMode, t));
    EXPECT_FALSE(IsCommandAvailable(SendFont, t)); // hard font stays 1 after a reset
    for (int code : {1, 2, 3, 4, 5, 6, 7, 9, 10, 256, 257, 258, 259, 260, 261})
        EXPECT_TRUE(IsCommandAvailable(code, t)) << code;
    for (int code : {-1, 11, 255, 262, 0x7fffffff})
        EXPECT_FALSE(IsCommandAvailable(code, t)) << code;
}

TEST(BatchAvailability, FollowsTheConnectedTerminal)
{
    CScriptHost host;
    host.Connect(320, 240, /*modeCapable*/ true, /*hardFont*/ 0, /*legacy*/ 0);
    EXPECT_TRUE(IsCommandAvailable(SetMode, host.term));
    EXPECT_TRUE(IsCommandAvailable(SendFont, host.term));

    host.term.Info().modeWord = 0xFF00; // mode byte set, low byte 0: not mode-capable
    EXPECT_FALSE(IsCommandAvailable(SetMode, host.term));
    host.term.Info().hardFont = 1;
    EXPECT_FALSE(IsCommandAvailable(SendFont, host.term));

    host.term.Info().modeWord = 0x01;
    host.link.open = false; // mode-capable needs the port open
    EXPECT_FALSE(IsCommandAvailable(SetMode, host.term));
}
