// SPDX-License-Identifier: MIT
#pragma once

// A PDF the program writes goes through its one file writer: written beside
// the target and put in place only when the document ends (an aborted or
// failed document leaves no half-written file), a link stays a link, and a
// folder, device or pipe of that name is refused rather than replaced.

#include "common/replace_file.h"

#include <QIODevice>

#include <optional>
#include <string>

namespace dw {

class TReplaceFileDevice : public QIODevice {
public:
    // EFileError naming the file when it cannot be created.
    explicit TReplaceFileDevice(const std::string& fileName);
    // False when anything failed on the way; the target is then untouched.
    bool Commit();

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override;

private:
    std::optional<ReplaceFileWriter> m_file;
};

}  // namespace dw
