// The one rule for every file the programs write: a new or regular file is
// replaced whole, a link to one keeps being a link, a FIFO or character
// device is written into only where the caller allows it, "-" is standard
// output only where asked, and nothing else is ever replaced. The desktop's
// savers (font library, log export, batch file) refuse what is no regular file.
#include "batch/batch_file.h"
#include "batch/batch_host.h"
#include "common/file_kind.h"
#include "imaging/font_generator.h"
#include "link/terminal.h"
#include "link/traffic_log.h"
#include "res/output_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace
{

QByteArray Read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// A listening Unix socket at path (a file that is neither regular nor writable).
int MakeSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::strncpy(addr.sun_path, name.constData(), sizeof(addr.sun_path) - 1);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)) != 0)
        return -1;
    return fd;
}

class OutputFile : public ::testing::Test
{
  protected:
    QTemporaryDir dir;
    QString Path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo")).constData(), 0600), 0);
        QFile f(Path("old.bin"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old contents");
        f.close();
        ASSERT_TRUE(QFile::link(Path("old.bin"), Path("link.bin")));
        ASSERT_TRUE(QFile::link(Path("nowhere/x"), Path("dangling")));
        ASSERT_TRUE(QDir().mkpath(Path("folder")));
        m_socket = MakeSocket(Path("sock"));
        ASSERT_GE(m_socket, 0);
    }
    void TearDown() override { ::close(m_socket); }
    int m_socket = -1;
};

TEST_F(OutputFile, WhatEachKindOfPathBecomes)
{
    const int all = OUTPUT_DIRECT | OUTPUT_STDOUT;
    const struct {
        const char *name; // in the scratch folder, or absolute
        int flags;
        COutputTarget target;
    } cases[] = {
        {"new.bin", 0, COutputTarget::Replace},   {"old.bin", 0, COutputTarget::Replace},
        {"link.bin", 0, COutputTarget::Replace},  {"dangling", all, COutputTarget::Refused},
        {"fifo", 0, COutputTarget::Refused},      {"fifo", OUTPUT_DIRECT, COutputTarget::Direct},
        {"sock", all, COutputTarget::Refused},    {"folder", all, COutputTarget::Refused},
        {"/dev/null", 0, COutputTarget::Refused}, {"/dev/null", OUTPUT_DIRECT, COutputTarget::Direct},
        {"-", all, COutputTarget::Stdout},        {"-", OUTPUT_DIRECT, COutputTarget::Replace},
    };
    for (const auto &c : cases) {
        const QString path = c.name[0] == '/' || c.name[0] == '-' ? QLatin1String(c.name) : Path(c.name);
        QString why;
        EXPECT_EQ(ClassifyOutputPath(path, c.flags, &why), c.target) << c.name << " " << c.flags;
        EXPECT_EQ(why.isEmpty(), c.target != COutputTarget::Refused) << c.name;
    }
}

TEST_F(OutputFile, WritingKeepsWhatTheNameStandsFor)
{
    QString error;
    // A regular file through a link: the file gets the data, the link stays.
    ASSERT_EQ(WriteOutputFile(Path("link.bin"), "new", 0, &error), COutputResult::Written)
        << error.toStdString();
    EXPECT_EQ(FileKind(Path("link.bin")), mode_t(S_IFLNK));
    EXPECT_EQ(Read(Path("old.bin")), QByteArray("new"));

    // A FIFO is written into, and stays a FIFO.
    QByteArray got;
    std::thread reader([&] {
        QFile f(Path("fifo"));
        if (f.open(QIODevice::ReadOnly))
            got = f.readAll();
    });
    EXPECT_EQ(WriteOutputFile(Path("fifo"), "through the pipe", OUTPUT_DIRECT, &error),
              COutputResult::Written);
    reader.join();
    EXPECT_EQ(got, QByteArray("through the pipe"));
    EXPECT_EQ(FileKind(Path("fifo")), mode_t(S_IFIFO));
    EXPECT_EQ(WriteOutputFile(QStringLiteral("/dev/null"), "x", OUTPUT_DIRECT, &error),
              COutputResult::Written);
    EXPECT_EQ(FileKind(QStringLiteral("/dev/null")), mode_t(S_IFCHR));

    // Refusals leave everything as it was.
    for (const char *name : {"fifo", "sock", "dangling", "folder"}) {
        error.clear();
        EXPECT_EQ(WriteOutputFile(Path(name), "x", 0, &error), COutputResult::Refused) << name;
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(FileKind(Path("fifo")), mode_t(S_IFIFO));
    EXPECT_EQ(FileKind(Path("sock")), mode_t(S_IFSOCK));
    EXPECT_EQ(FileKind(Path("dangling")), mode_t(S_IFLNK));
    EXPECT_FALSE(QFileInfo::exists(Path("nowhere")));
    // A folder that does not exist is a failure, not a refusal.
    EXPECT_EQ(WriteOutputFile(Path("nowhere/x"), "x", 0, &error), COutputResult::Failed);
}

class CFileHost : public BATCHCMD::CBatchFileHost
{
  public:
    CMyTerminal term;
    QStringList failures;
    CMyTerminal &Terminal() override { return term; }
    int MessageBox(const QString &text, int, int) override
    {
        failures << text;
        return BATCHCMD::BATCH_ANSWER_OK;
    }
    void ShowStatusMessage(int kind, const QString &text) override
    {
        if (kind == STATUS_FAILURE)
            failures << text;
    }
    void ShowStatusProgress(const QString &, int) override {}
};

// The desktop's save dialogs end in these savers: a FIFO (which would hang
// the window) or a socket is refused with its reason, never replaced.
TEST_F(OutputFile, DesktopSaversRefuseWhatIsNoRegularFile)
{
    for (const char *name : {"fifo", "sock"}) {
        const QString path = Path(name);
        const mode_t before = FileKind(path);
        QString error;
        EXPECT_FALSE(WriteFontLibrary(path, QByteArray(32, '\0'), &error)) << name;
        EXPECT_TRUE(error.contains(QStringLiteral("不是普通文件"))) << error.toStdString();
        error.clear();
        EXPECT_FALSE(SaveLogExport(path, {}, LOG_EXPORT_TEXT, &error)) << name;
        EXPECT_TRUE(error.contains(path) && error.contains(QStringLiteral("不是普通文件")))
            << error.toStdString();
        CFileHost host;
        BATCHCMD::CBatchFile file(host);
        EXPECT_FALSE(file.Save({}, path)) << name;
        ASSERT_EQ(host.failures.size(), 1);
        EXPECT_TRUE(host.failures[0].contains(path) &&
                    host.failures[0].contains(QStringLiteral("不是普通文件")))
            << host.failures[0].toStdString();
        EXPECT_EQ(FileKind(path), before) << name;
    }
}

} // namespace
