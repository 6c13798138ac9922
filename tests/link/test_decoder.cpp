// The protocol decoder's descriptions of frames and replies, the log entries
// built from them (times, data-block summaries) and the log's export.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>
#include <set>

#include "common/scripted_transport.h"
#include "link/protocol_decoder.h"
#include "link/terminal.h"
#include "link/traffic_log.h"
#include "link/wire_text.h"
#include "res/strings.h"

using Bytes = std::vector<uint8_t>;

namespace {

// Hexadecimal bytes; 'quoted' parts are taken as ASCII.
Bytes Parse(const char *s)
{
    Bytes out;
    while (*s) {
        if (*s == ' ') {
            ++s;
        } else if (*s == '\'') {
            for (++s; *s && *s != '\''; ++s)
                out.push_back(static_cast<uint8_t>(*s));
            if (*s)
                ++s;
        } else {
            out.push_back(static_cast<uint8_t>(std::stoi(std::string(s, 2), nullptr, 16)));
            s += 2;
        }
    }
    return out;
}

QString U(const char *s)
{
    return QString::fromUtf8(s);
}

struct Step {
    char dir;  // '>' sent, '<' received
    const char *bytes;
    const char *text;
    bool malformed;
};

// One decoder walks the whole script: replies are read in the light of the
// frame before them.
const Step kScript[] = {
    {'>', "FD 00 00 00 DD CC BB AA", "握手", false},
    {'<', "12 FF 00", "握手应答：版本 0x12，波特率 115200，模式 0", false},
    {'>', "FD 00 00 00 DD CC BB AA", "握手", false},
    {'<', "12 FF FF", "握手应答：版本 0x12，波特率 115200，模式 1", false},
    {'>', "FD 00 00 00 DD CC BB AA", "握手", false},
    {'<', "0B 03", "握手应答：版本 0x0B，波特率 9600，无模式", false},
    {'>', "FD 00 00 00 DD CC BB AA", "握手", false},
    {'<', "12", "握手应答不完整：1 字节", true},
    {'>', "FD 03 00 02 00 00 DD CC BB AA", "查询设备信息", false},
    {'<', "02 00 0A 00 FF", "设备信息：版本 2.10，波特率 115200", false},
    {'>', "FD 03 00 02 00 00 DD CC BB AA", "查询设备信息", false},
    {'<', "FA 00 1F 'Version = 2.10\nBitsPixel=16\n'", "设备信息文本：Version=2.10，BitsPixel=16", false},
    {'>', "FD 03 00 02 00 00 DD CC BB AA", "查询设备信息", false},
    {'<', "FA 00 10 41", "设备信息文本不完整：4 字节", true},
    {'>', "FD 01 00 05 55 AA 5A A5 8B DD CC BB AA", "设置终端波特率：波特率 230400", false},
    {'<', "8B", "回送 波特率 230400", false},
    {'>', "FD 01 00 05 55 AA 5A A5 99 DD CC BB AA", "设置终端波特率：波特率 未知 0x99", false},
    {'>', "FD 02 00 00 DD CC BB AA", "清除屏幕", false},
    {'<', "41", "意外应答 0x41（无对应命令）", true},
    {'>', "FD 05 00 04 F8 00 FF FF DD CC BB AA", "设置颜色：前景 #FF0000 (F800)，背景 #FFFFFF (FFFF)", false},
    {'>', "FD 09 00 00 DD CC BB AA", "关闭背光", false},
    {'>', "FD 0A 00 00 DD CC BB AA", "打开背光", false},
    {'>', "FD 0B 00 01 80 DD CC BB AA", "设置亮度：亮度 128", false},
    {'>', "FD 0C 00 02 FF 12 DD CC BB AA", "设置模式：模式 1，参数 0x12", false},
    {'<', "FF", "回送 模式 1", false},
    {'>', "FD 0C 00 02 00 05 DD CC BB AA", "设置模式：模式 0，参数 0x05", false},
    {'<', "FF", "意外应答 0xFF，应为 0x00", true},
    {'>', "FD 0C 00 02 12 05 DD CC BB AA", "设置模式：模式 未知 0x12，参数 0x05", false},
    {'>', "FD 10 00 09 00 01 10 00 D6 D0 CE C4 00 DD CC BB AA", "显示文字 6×10：位置 (256, 16)，“中文”", false},
    {'>', "FD 11 00 07 01 00 02 00 41 42 00 DD CC BB AA", "显示文字 8×16：位置 (1, 2)，“AB”", false},
    {'>', "FD 12 00 05 00 00 00 00 41 DD CC BB AA", "显示文字 16×16：位置 (0, 0)，“A”（无结束符）", false},
    {'>', "FD 13 00 05 00 00 00 00 00 DD CC BB AA", "显示文字 32×32：位置 (0, 0)，“”", false},
    {'>', "FD 14 00 04 05 00 06 00 DD CC BB AA", "显示文字 24×24：位置 (5, 6)，“”（无结束符）", false},
    {'>', "FD 15 00 08 00 00 00 00 41 0A 42 00 DD CC BB AA", "显示文字 12×24：位置 (0, 0)，“A␊B”", false},
    {'>', "FD 16 00 06 00 00 00 00 5A 00 DD CC BB AA", "显示文字 16×32：位置 (0, 0)，“Z”", false},
    {'>', "FD 16 00 02 12 21 DD CC BB AA", "下载字库（旧协议） 16×16", false},
    {'<', "FC", "准备接收", false},
    {'<', "FE", "接收完毕", false},
    {'>', "FD 16 00 01 13 DD CC BB AA", "下载字库（旧协议） 32×32", false},
    {'>', "FD 16 00 03 12 21 00 DD CC BB AA", "帧格式错误：负载与命令不符（0x16，负载 3 字节）", true},
    {'>', "FD 1F 00 03 12 16 61 DD CC BB AA", "下载字库 16×16", false},
    {'>', "FD 1F 00 03 14 24 42 DD CC BB AA", "下载字库 24×24", false},
    {'>', "FD 1F 00 03 13 32 23 DD CC BB AA", "下载字库 32×32", false},
    {'>', "FD 1F 00 03 15 12 24 DD CC BB AA", "下载字库 12×24", false},
    {'>', "FD 1F 00 03 16 16 32 DD CC BB AA", "下载字库 16×32", false},
    {'<', "FC", "准备接收", false},
    {'<', "FE", "接收完毕", false},
    {'<', "FE", "意外应答 0xFE（无对应命令）", true},
    {'>', "FD 1F 00 03 12 16 62 DD CC BB AA", "帧格式错误：负载与命令不符（0x1F，负载 3 字节）", true},
    {'>', "FD 30 00 01 05 DD CC BB AA", "显示图象：编号 5", false},
    {'>', "FD 31 00 06 00 03 01 40 00 F0 DD CC BB AA", "发送并保存图象：编号 3，尺寸 320×240", false},
    {'<', "FC", "准备接收", false},
    // The send-and-save echo is the slot's low byte (the slot travels in two).
    {'<', "03", "回送 编号低字节 3", false},
    {'>', "FD 31 00 06 00 03 01 40 00 F0 DD CC BB AA", "发送并保存图象：编号 3，尺寸 320×240", false},
    {'<', "FE", "意外应答 0xFE，应为 0xFC", true},
    {'>', "FD 32 00 01 07 DD CC BB AA", "保存屏幕到图象：编号 7", false},
    {'<', "08", "意外应答 0x08，应为 0x07", true},
    {'>', "FD 32 00 01 07 DD CC BB AA", "保存屏幕到图象：编号 7", false},
    {'<', "07", "回送 编号 7", false},
    {'>', "FD 35 00 00 DD CC BB AA", "发送图象到屏幕", false},
    {'<', "FC", "准备接收", false},
    {'<', "FE", "接收完毕", false},
    {'>', "FD 50 00 04 55 AA 5A A5 DD CC BB AA", "触摸校准", false},
    {'>', "FD 52 00 01 00 DD CC BB AA", "停止触摸", false},
    {'>', "FD 53 00 04 55 AA 5A A5 DD CC BB AA", "触摸体验", false},
    {'>', "FD 53 00 04 55 AA 5A A4 DD CC BB AA", "帧格式错误：负载与命令不符（0x53，负载 4 字节）", true},
    // Unknown codes and broken frames.
    {'>', "FD 77 00 01 09 DD CC BB AA", "未知命令 0x77，负载 1 字节", true},
    {'<', "01", "意外应答 0x01（无对应命令）", true},
    {'>', "FD 02 00 00 DD CC", "帧格式错误：不完整（6 字节）", true},
    {'>', "FE 02 00 00 DD CC BB AA", "帧格式错误：起始字节不是 FD", true},
    {'>', "FD 02 00 05 DD CC BB AA", "帧格式错误：长度字段与负载不符（5 / 0 字节）", true},
    {'>', "FD 02 00 00 DD CC BB AB", "帧格式错误：结束符不是 DD CC BB AA", true},
};

} // namespace

TEST(Decoder, ScriptOfFramesAndReplies)
{
    SetWireCodePage(QStringLiteral("GBK"));
    CProtocolDecoder decoder;
    for (const Step &s : kScript) {
        const Bytes b = Parse(s.bytes);
        const int n = static_cast<int>(b.size());
        const CDescription d = s.dir == '>' ? decoder.DescribeSent(b.data(), n) : decoder.DescribeReceived(b.data(), n);
        EXPECT_EQ(d.text, U(s.text)) << s.dir << ' ' << s.bytes;
        EXPECT_EQ(d.malformed, s.malformed) << s.bytes;
    }
    SetWireCodePage(QString());
}

// The same decoder in English: its own punctuation and word order, the same
// facts.
TEST(Decoder, EnglishDescriptions)
{
    static const Step kEnglish[] = {
        {'>', "FD 00 00 00 DD CC BB AA", "Handshake", false},
        {'<', "12 FF 00", "Handshake reply: version 0x12, baud 115200, mode 0", false},
        {'>', "FD 00 00 00 DD CC BB AA", "Handshake", false},
        {'<', "12", "Handshake reply incomplete: 1 byte", true},
        {'>', "FD 03 00 02 00 00 DD CC BB AA", "Query device info", false},
        {'<', "FA 00 1F 'Version = 2.10\nBitsPixel=16\n'", "Device info text: Version=2.10, BitsPixel=16", false},
        {'>', "FD 03 00 02 00 00 DD CC BB AA", "Query device info", false},
        {'<', "FA 00 10 41", "Device info text incomplete: 4 bytes", true},
        {'>', "FD 12 00 05 00 00 00 00 41 DD CC BB AA", "Show text 16×16: position (0, 0), “A” (no terminator)", false},
        {'>', "FD 31 00 06 00 03 01 40 00 F0 DD CC BB AA", "Send and save picture: slot 3, size 320×240", false},
        {'<', "FE", "Unexpected reply 0xFE, expected 0xFC", true},
        {'>', "FD 16 00 03 12 21 00 DD CC BB AA",
         "Malformed frame: payload does not match the command (0x16, payload 3 bytes)", true},
        {'>', "FD 77 00 01 09 DD CC BB AA", "Unknown command 0x77, payload 1 byte", true},
        {'<', "01", "Unexpected reply 0x01 (no matching command)", true},
        {'>', "FD 02 00 00 DD CC", "Malformed frame: incomplete (6 bytes)", true},
    };
    struct English {
        English() { SetStrLang(StrLang::English); }
        ~English() { SetStrLang(StrLang::Chinese); }
    } english;
    CProtocolDecoder decoder;
    for (const Step &s : kEnglish) {
        const Bytes b = Parse(s.bytes);
        const int n = static_cast<int>(b.size());
        const CDescription d = s.dir == '>' ? decoder.DescribeSent(b.data(), n) : decoder.DescribeReceived(b.data(), n);
        EXPECT_EQ(d.text, U(s.text)) << s.dir << ' ' << s.bytes;
        EXPECT_EQ(d.malformed, s.malformed) << s.bytes;
    }
}

TEST(Decoder, TableCoversTheCommandSetAndColoursAreReported)
{
    const std::set<int> commandSet = {0x00, 0x01, 0x02, 0x03, 0x05, 0x09, 0x0A, 0x0B, 0x0C, 0x10, 0x11, 0x12,
                                      0x13, 0x14, 0x15, 0x16, 0x1F, 0x30, 0x31, 0x32, 0x35, 0x50, 0x52, 0x53};
    std::set<int> inTable;
    for (int i = 0; i < CProtocolDecoder::CommandRowCount(); ++i)
        inTable.insert(CProtocolDecoder::CommandRowCode(i));
    EXPECT_EQ(inTable, commandSet);

    CProtocolDecoder decoder;
    const Bytes colours = Parse("FD 05 00 04 07 E0 00 1F DD CC BB AA");
    const CDescription d = decoder.DescribeSent(colours.data(), static_cast<int>(colours.size()));
    ASSERT_EQ(d.colorCount, 2);
    EXPECT_EQ(d.colors[0], 0x00FF00u);
    EXPECT_EQ(d.colors[1], 0x0000FFu);
    EXPECT_EQ(Rgb565ToRgb(0x8410), 0x848284u);  // widened channels repeat their top bits
}

TEST(Decoder, RandomBytesAreDescribedWithoutFault)
{
    std::mt19937 rng(15);
    CProtocolDecoder decoder;
    for (int i = 0; i < 5000; ++i) {
        Bytes b(rng() % 40 + 1);
        for (uint8_t &x : b)
            x = static_cast<uint8_t>(rng());
        if (i % 2 && b.size() >= 8) {
            // A well-framed random command, so the payload rules are reached.
            const size_t n = b.size() - 8;
            b[0] = 0xFD;
            b[2] = static_cast<uint8_t>(n >> 8);
            b[3] = static_cast<uint8_t>(n);
            const uint8_t trailer[] = {0xDD, 0xCC, 0xBB, 0xAA};
            std::copy(trailer, trailer + 4, b.end() - 4);
        }
        const int n = static_cast<int>(b.size());
        const CDescription d = i % 3 ? decoder.DescribeSent(b.data(), n) : decoder.DescribeReceived(b.data(), n);
        ASSERT_FALSE(d.text.isEmpty());
    }
    EXPECT_TRUE(decoder.DescribeSent(nullptr, 4).text.isEmpty());
    EXPECT_TRUE(decoder.DescribeReceived(Parse("FC").data(), 0).text.isEmpty());
}

TEST(TrafficDescriber, TimesHexAndDataBlocks)
{
    qint64 now = 1000;
    CTrafficDescriber log;
    log.SetClock([&now] { return now; });
    now = 1040;
    const Bytes clear = Parse("FD 02 00 00 DD CC BB AA");
    CLogEntry e = log.Describe(TRAFFIC_SENT, 8, clear.data());
    EXPECT_EQ(e.ms, 40);
    EXPECT_EQ(e.text, QStringLiteral("FD 02 00 00 DD CC BB AA"));
    EXPECT_EQ(e.description, U("清除屏幕"));

    // A new connection: times restart and the earlier frame is forgotten.
    log.LinkOpened();
    now = 1047;
    const uint8_t ready = 0xFC;
    e = log.Describe(TRAFFIC_RECEIVED, 1, &ready);
    EXPECT_EQ(e.ms, 7);
    EXPECT_EQ(e.description, U("意外应答 0xFC（无对应命令）"));

    // A long text frame: the hexadecimal text stops at 256 bytes, the
    // description reads the whole frame.
    Bytes text = Parse("FD 11 01 30 00 00 00 00");
    text.insert(text.end(), 299, 'x');
    text.push_back(0);
    for (uint8_t t : Parse("DD CC BB AA"))
        text.push_back(t);
    e = log.Describe(TRAFFIC_SENT, static_cast<int>(text.size()), text.data());
    EXPECT_EQ(e.text.size(), 767);
    EXPECT_TRUE(e.description.startsWith(U("显示文字 8×16：位置 (0, 0)，“xxx")));
    EXPECT_TRUE(e.description.endsWith(U("x…”")));

    // A block of 153600 bytes that took 8.3 s and ended now: it began 8300 ms ago.
    now = 20000;
    e = log.DescribeBulk(153600, 153600, 8300, true);
    EXPECT_TRUE(e.bulk);
    EXPECT_EQ(e.direction, TRAFFIC_SENT);
    EXPECT_EQ(e.ms, 20000 - 1040 - 8300);
    EXPECT_EQ(e.text, U("数据块 153600 字节 8.3 秒"));
    EXPECT_TRUE(e.description.isEmpty());
    e = log.DescribeBulk(153600, 1536, 250, false);
    EXPECT_EQ(e.text, U("数据块 153600 字节，发送 1536 字节后中断 0.3 秒"));
}

TEST(TrafficDescriber, TerminalReportsEachDataBlock)
{
    struct Sink : CTrafficRecorder {
        std::vector<std::tuple<int, int, bool>> blocks;
        void OnBulk(int total, int sent, qint64, bool ok) override { blocks.emplace_back(total, sent, ok); }
    } sink;
    CScriptedTransport link;
    CMyTerminal term;
    term.SetTransport(&link);
    term.SetTrafficSink(&sink);
    term.readTries = 2;
    term.readInterval = 1;
    term.Info().maxPictures = 0;
    // FC for the frame, FE once the 8 bytes of the block are in.
    int blockBytes = 0;
    link.responder = [&blockBytes](CScriptedTransport &t, const Bytes &w) {
        if (w.size() == 8 && w[0] == 0xFD) {
            t.Queue({0xFC});
        } else if ((blockBytes += static_cast<int>(w.size())) == 8) {
            t.Queue({0xFE});
        }
    };
    uint8_t pixels[8] = {};
    ASSERT_TRUE(term.SendPictureData(pixels, 8, -1));
    ASSERT_EQ(sink.blocks.size(), 1u);
    EXPECT_EQ(sink.blocks[0], std::make_tuple(8, 8, true));
    // The summary comes between the two acknowledgements.
    ASSERT_EQ(sink.reports.size(), 3u);

    // A block whose first write fails is reported as cut short.
    link.failWriteAt = static_cast<int>(link.writes.size()) + 1;
    EXPECT_FALSE(term.SendPictureData(pixels, 8, -1));
    ASSERT_EQ(sink.blocks.size(), 2u);
    EXPECT_EQ(sink.blocks[1], std::make_tuple(8, 0, false));
}

TEST(LogExport, TextAndCsvReadBackOldestFirst)
{
    CLogEntry sent;
    sent.ms = 5;
    sent.text = QStringLiteral("FD 05 00 04 F8 00 FF FF DD CC BB AA");
    sent.description = U("设置颜色：前景 #FF0000 (F800)，背景 \"x\", y");
    CLogEntry block;
    block.ms = 1200;
    block.bulk = true;
    block.text = U("数据块 8 字节 0.0 秒");
    CLogEntry reply;
    reply.ms = 12345;
    reply.direction = TRAFFIC_RECEIVED;
    reply.text = QStringLiteral("FC");
    reply.description = U("准备接收");
    const QVector<CLogEntry> entries = {sent, block, reply};

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString txt = dir.filePath(QStringLiteral("log.txt"));
    const QString csv = dir.filePath(QStringLiteral("log.csv"));
    QString error;
    ASSERT_TRUE(SaveLogExport(txt, entries, LOG_EXPORT_TEXT, &error)) << error.toStdString();
    ASSERT_TRUE(SaveLogExport(csv, entries, LOG_EXPORT_CSV, &error)) << error.toStdString();
    QFile t(txt), c(csv);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly) && c.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(t.readAll()),
              U("      5 ms  >>  FD 05 00 04 F8 00 FF FF DD CC BB AA  设置颜色：前景 #FF0000 (F800)，背景 \"x\", y\n"
                "   1200 ms  >>  数据块 8 字节 0.0 秒\n"
                "  12345 ms  <<  FC  准备接收\n"));
    EXPECT_EQ(c.readAll(), QByteArray("\xEF\xBB\xBF") + U("时间(ms),方向,数据,说明\r\n"
                             "5,发送,FD 05 00 04 F8 00 FF FF DD CC BB AA,\"设置颜色：前景 #FF0000 (F800)，背景 \"\"x\"\", y\"\r\n"
                             "1200,发送,,数据块 8 字节 0.0 秒\r\n"
                             "12345,接收,FC,准备接收\r\n")
                               .toUtf8());

    // A folder that does not exist: a message, no file, and success is not claimed.
    const QString bad = dir.filePath(QStringLiteral("missing/log.txt"));
    EXPECT_FALSE(SaveLogExport(bad, entries, LOG_EXPORT_TEXT, &error));
    EXPECT_TRUE(error.contains(bad));
    EXPECT_FALSE(QFile::exists(bad));
}
