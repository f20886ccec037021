// Build step: creates the blank setup database from the schema file and stamps it
// with the program's version property.
//   delvar-make-blank-db <schema.sql> <output.mdb> <version>
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

bool Run(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK) return true;
    std::fprintf(stderr, "delvar-make-blank-db: %s\n", error ? error : "SQL failed");
    sqlite3_free(error);
    return false;
}

bool StampVersion(sqlite3* db, const std::string& version) {
    sqlite3_stmt* insert = nullptr;
    bool ok = sqlite3_prepare_v2(db, "INSERT INTO Properties (Name, Value) VALUES ('Version', ?1)",
                                 -1, &insert, nullptr) == SQLITE_OK &&
              sqlite3_bind_text(insert, 1, version.c_str(), -1, SQLITE_TRANSIENT) == SQLITE_OK &&
              sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_finalize(insert);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: delvar-make-blank-db <schema.sql> <output.mdb> <version>\n");
        return 2;
    }
    std::ifstream schemaFile(argv[1]);
    if (!schemaFile) {
        std::fprintf(stderr, "delvar-make-blank-db: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream schema;
    schema << schemaFile.rdbuf();

    const std::string output = argv[2];
    const std::string partial = output + ".part";
    std::remove(partial.c_str());
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(partial.c_str(), &db) == SQLITE_OK && Run(db, "BEGIN") &&
              Run(db, schema.str()) && StampVersion(db, argv[3]) && Run(db, "COMMIT");
    ok = sqlite3_close(db) == SQLITE_OK && ok;
    if (!ok || std::rename(partial.c_str(), output.c_str()) != 0) {
        std::fprintf(stderr, "delvar-make-blank-db: cannot create %s\n", output.c_str());
        std::remove(partial.c_str());
        return 1;
    }
    return 0;
}
