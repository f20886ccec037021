// The columns of each record's table, and the plain conversion between a result row
// and a record: column names matched without regard to case, values converted to
// the field's type, checked against its range.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "setup/SetupData.h"
#include "setup/SqliteDb.h"

namespace delvar::setup {

enum class ColumnType { Integer, Long, Double, YesNo, Text };

struct ColumnInfo {
    std::string name;
    ColumnType type;
    bool writeOnly;  // written on save, never read
};

// Record of each table: ProcessRec Processes, LayerRec Layers, FilmRec Films,
// MaterialRec Materials, SystemRec System, LogicRec Logic, SensorRec Sensors,
// SourceRec Sources, InputRec InputsV9, RelayRec RelaysV9.
template <class Rec>
const char* TableOf();

// The record's columns in table order (the key column is not among them).
template <class Rec>
std::vector<ColumnInfo> ColumnsOf();

// Reads every readable column of the current row into record. A column holding
// nothing (NULL) leaves the field as it is, except Yes/No columns, which read false.
// Throws DbError: kErrItemNotFound for a missing column, kErrTypeMismatch for a value
// that is not of the column's kind, kErrOverflow for one outside the field's range.
template <class Rec>
void ReadColumns(const Statement& row, Rec& record);

// "UPDATE <table> SET c1=?1,..,cn=?n WHERE rowid=<first row whose key is ?n+1>"
// (for System: its first row).
template <class Rec>
std::string UpdateSql();

// Binds every column of record to ?1..?n of an UpdateSql statement, the key to ?n+1.
template <class Rec>
void BindColumns(Statement& update, const Rec& record, int key);

}  // namespace delvar::setup
