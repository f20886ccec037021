// A table that error reports can go to instead of a text file.
#pragma once

#include <string>

namespace delvar::app {

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
    virtual bool AddRecord(const ErrorRecord& record) = 0;
    virtual bool DeleteAll() = 0;
    virtual long Count() = 0;
};

}  // namespace delvar::app
