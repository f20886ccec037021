// A table that error reports can go to instead of a text file.
#pragma once

#include <string>

namespace delvar::core {

// One report; the texts are as in the report file, lines ending in CR LF.
struct ErrorRecord {
    std::string ErrorDate;
    std::string ErrorString;
    long ErrorNumber = 0;
    long ErrorLine = 0;
    std::string ErrorProc;
    std::string CallStack;
    std::string AdditionalInfo;
};

class ErrorRecordSet {
  public:
    virtual ~ErrorRecordSet() = default;
    virtual bool AddRecord(const ErrorRecord& record) = 0;  // appends one report
    virtual bool DeleteAll() = 0;                           // removes every report
    virtual long Count() = 0;                               // reports held (0 when unreadable)
};

}  // namespace delvar::core
