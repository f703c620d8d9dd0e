// SPDX-License-Identifier: MIT
#include "tests/support/qt_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include <signal.h>

namespace dw::test {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

CommandRun RunCommand(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    CommandRun run;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.Finished = true;
    run.ExitCode = process.exitCode();
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

QByteArray LargePage(int points)
{
    QByteArray bytes;
    const auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.append(static_cast<char>(v >> (8 * i)));
    };
    for (std::uint32_t v : {1u, 108u, 0u, 0u, 399u, 299u, 0u, 0u, 10583u, 7938u, 0x464D4520u, 0x10000u, 0u, 3u}) u32(v);
    for (std::uint32_t v : {1u, 0u, 0u, 0u, 1024u, 768u, 271u, 203u, 0u, 0u, 0u, 271000u, 203000u}) u32(v);
    u32(87);
    u32(static_cast<std::uint32_t>(28 + 4 * points));
    for (std::uint32_t v : {0u, 0u, 400u, 300u}) u32(v);
    u32(static_cast<std::uint32_t>(points));
    for (int i = 0; i < points; ++i) u32(static_cast<std::uint32_t>((i % 400) | ((i % 2 ? 0 : 299) << 16)));
    for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u}) u32(v);
    const auto size = static_cast<std::uint32_t>(bytes.size());
    std::memcpy(bytes.data() + 48, &size, 4);
    return bytes;
}

bool WaitForOutputIn(qint64 pid, const QString& folder, const QString& input)
{
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    const QString inFolder = QDir(folder).canonicalPath() + QLatin1Char('/');
    const QString read = QFileInfo(input).canonicalFilePath();
    for (;;) {
        QDir dir(fds);
        if (!dir.exists())
            return false;
        for (const QString& fd : dir.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
            const QString target = QFile::symLinkTarget(dir.filePath(fd));
            if (target.startsWith(inFolder) && target != read)
                return true;
        }
        if (::kill(static_cast<pid_t>(pid), 0) != 0)
            return false;
    }
}

}  // namespace dw::test
