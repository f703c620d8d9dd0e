// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace dw {

// Records for a data-bound report, read one after the other. The report only
// walks them; what a record holds is for the report's handlers (labels'
// OnPrint, group keys) to read from the source they know.
class IVpRecordSource {
public:
    virtual ~IVpRecordSource() = default;
    // Back to the first record.
    virtual void First() = 0;
    // No record is current: the source is empty or walked to its end.
    virtual bool Eof() const = 0;
    virtual void Next() = 0;
    // Records in all, for the progress shown while printing; -1 when unknown.
    virtual int RecordCount() const = 0;
    // 1-based number of the current record.
    virtual int RecordNumber() const = 0;
};

}  // namespace dw
