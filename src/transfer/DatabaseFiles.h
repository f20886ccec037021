// The setup database as the whole-setup transfer uses it.
#pragma once

#include "setup/modDatabase.h"
#include "transfer/BatchTransfer.h"

namespace delvar::transfer {

class DatabaseFiles final : public SetupFiles {
  public:
    explicit DatabaseFiles(setup::modDatabase& database) : database_(database) {}
    bool Save(const std::string& path) override { return database_.DBSave(path); }
    bool Open(const std::string& path) override { return database_.DBOpen(path); }
    std::string CurrentDatabase() const override { return database_.CurrentDatabase(); }

  private:
    setup::modDatabase& database_;
};

}  // namespace delvar::transfer
