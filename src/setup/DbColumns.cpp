#include "setup/DbColumns.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <type_traits>
#include <variant>

#include "setup/DbTables.h"
#include "util/Text.h"

namespace delvar::setup {

// clang-format off
template <> const char* TableOf<ProcessRec>() { return "Processes"; }
template <> const char* TableOf<LayerRec>() { return "Layers"; }
template <> const char* TableOf<FilmRec>() { return "Films"; }
template <> const char* TableOf<MaterialRec>() { return "Materials"; }
template <> const char* TableOf<SystemRec>() { return "System"; }
template <> const char* TableOf<LogicRec>() { return "Logic"; }
template <> const char* TableOf<SensorRec>() { return "Sensors"; }
template <> const char* TableOf<SourceRec>() { return "Sources"; }
template <> const char* TableOf<InputRec>() { return "InputsV9"; }
template <> const char* TableOf<RelayRec>() { return "RelaysV9"; }
// clang-format on

namespace {

template <class Rec>
struct Term {  // one element of a record's array of terms
    std::array<std::int32_t, kLogicTerms> Rec::*terms;
    int index;
};

template <class Rec>
using FieldRef = std::variant<std::int16_t Rec::*, std::int32_t Rec::*, double Rec::*,
                              std::string Rec::*, Term<Rec>>;

template <class Rec>
struct Column {
    const char* name;
    ColumnType type;
    FieldRef<Rec> field;
    bool writeOnly = false;
};

template <class Rec>
Column<Rec> Int(const char* name, std::int16_t Rec::*m) {
    return {name, ColumnType::Integer, m};
}
template <class Rec>
Column<Rec> Lng(const char* name, std::int32_t Rec::*m) {
    return {name, ColumnType::Long, m};
}
template <class Rec>
Column<Rec> Dbl(const char* name, double Rec::*m) {
    return {name, ColumnType::Double, m};
}
template <class Rec>
Column<Rec> YesNo(const char* name, double Rec::*m) {
    return {name, ColumnType::YesNo, m};
}
template <class Rec>
Column<Rec> Txt(const char* name, std::string Rec::*m) {
    return {name, ColumnType::Text, m};
}

using P = ProcessRec;
using L = LayerRec;
using F = FilmRec;
using M = MaterialRec;
using S = SystemRec;

template <class Rec>
const std::vector<Column<Rec>>& Columns();

template <>
const std::vector<Column<P>>& Columns<P>() {
    static const std::vector<Column<P>> c = {
        Txt("Process_Name", &P::Process_Name), Int("First_Layer", &P::First_Layer),
        Int("Number_Layers", &P::Number_Layers), Int("Number_Act_Layers", &P::Number_Act_Layers)};
    return c;
}

template <>
const std::vector<Column<L>>& Columns<L>() {
    static const std::vector<Column<L>> c = {Dbl("Rate", &L::Rate),
                                             Dbl("Time_Setpoint", &L::Time_Setpoint),
                                             Dbl("Final_Thick", &L::Final_Thick),
                                             Dbl("Thick_Limit", &L::Thick_Limit),
                                             Int("Film_Number", &L::Film_Number),
                                             Int("Start_Mode", &L::Start_Mode),
                                             Int("Next_Layer", &L::Next_Layer),
                                             Int("CoDep_Layer", &L::CoDep_Layer),
                                             Int("Sensor1", &L::Sensor1),
                                             Int("Sensor2", &L::Sensor2),
                                             Int("Sensor3", &L::Sensor3),
                                             Int("Sensor4", &L::Sensor4),
                                             Int("Output_Number", &L::Output_Number),
                                             Dbl("Max_Power1", &L::Max_Power1),
                                             Dbl("Min_Power1", &L::Min_Power1),
                                             Dbl("Pwr_Alarm_Dev", &L::Pwr_Alarm_Dev),
                                             Dbl("Rate_Dev_Attn", &L::Rate_Dev_Attn),
                                             Dbl("Rate_Dev_Alert", &L::Rate_Dev_Alert),
                                             Dbl("Rate_Dev_Alarm", &L::Rate_Dev_Alarm),
                                             Dbl("Slew_Rate1", &L::Slew_Rate1),
                                             YesNo("Ramp1_Enabled", &L::Ramp1_Enabled),
                                             Dbl("Ramp1_Start", &L::Ramp1_Start),
                                             Dbl("Ramp1_Rate", &L::Ramp1_Rate),
                                             Dbl("Ramp1_Time", &L::Ramp1_Time),
                                             YesNo("Ramp2_Enabled", &L::Ramp2_Enabled),
                                             Dbl("Ramp2_Start", &L::Ramp2_Start),
                                             Dbl("Ramp2_Rate", &L::Ramp2_Rate),
                                             Dbl("Ramp2_Time", &L::Ramp2_Time),
                                             YesNo("Ramp3_Enabled", &L::Ramp3_Enabled),
                                             Dbl("Ramp3_Start", &L::Ramp3_Start),
                                             Dbl("Ramp3_Rate", &L::Ramp3_Rate),
                                             Dbl("Ramp3_Time", &L::Ramp3_Time),
                                             Dbl("FS_Rate", &L::FS_Rate),
                                             Dbl("FS_Thick", &L::FS_Thick),
                                             YesNo("Ramp4_Enabled", &L::Ramp4_Enabled),
                                             Dbl("Ramp4_Start", &L::Ramp4_Start),
                                             Dbl("Ramp4_Rate", &L::Ramp4_Rate),
                                             Dbl("Ramp4_Time", &L::Ramp4_Time)};
    return c;
}

template <>
const std::vector<Column<F>>& Columns<F>() {
    static const std::vector<Column<F>> c = {
        Txt("Film_Name", &F::Film_Name),
        Dbl("Pterm", &F::Pterm),
        Dbl("Iterm", &F::Iterm),
        Dbl("Dterm", &F::Dterm),
        Int("Material_Index", &F::Material_Index),
        Dbl("Ramp1_Power", &F::Ramp1_Power),
        Dbl("Ramp1_Time", &F::Ramp1_Time),
        Dbl("Soak1_Time", &F::Soak1_Time),
        Dbl("Ramp2_Power", &F::Ramp2_Power),
        Dbl("Ramp2_Time", &F::Ramp2_Time),
        Dbl("Soak2_Time", &F::Soak2_Time),
        Dbl("Ramp3_Power", &F::Ramp3_Power),
        Dbl("Ramp3_Time", &F::Ramp3_Time),
        Dbl("Soak3_Time", &F::Soak3_Time),
        Dbl("Ramp4_Power", &F::Ramp4_Power),
        Dbl("Ramp4_Time", &F::Ramp4_Time),
        Dbl("Soak4_Time", &F::Soak4_Time),
        Dbl("Feed_Power", &F::Feed_Power),
        Dbl("Feed_Ramp", &F::Feed_Ramp),
        Dbl("Feed_Time", &F::Feed_Time),
        Dbl("Feed2_Power", &F::Feed2_Power),
        Dbl("Feed2_Ramp", &F::Feed2_Ramp),
        Dbl("Feed2_Time", &F::Feed2_Time),
        Dbl("Feed3_Power", &F::Feed3_Power),
        Dbl("Feed3_Ramp", &F::Feed3_Ramp),
        Dbl("Feed3_Time", &F::Feed3_Time),
        Dbl("Idle_Power", &F::Idle_Power),
        Dbl("Idle_Ramp_Time", &F::Idle_Ramp_Time),
        Int("Pocket", &F::Pocket),
        Int("Tooling", &F::Tooling),
        Int("Crystal_Fail", &F::Crystal_Fail),
        Int("Quality_Dev", &F::Quality_Dev),
        Int("Quality_Cts", &F::Quality_Cts),
        Int("Stability_Single", &F::Stability_Single),
        Int("Stability_Total", &F::Stability_Total),
        Dbl("Shutter_Delay", &F::Shutter_Delay),
        Dbl("Capture", &F::Capture),
        Int("Control_Error", &F::Control_Error),
        Dbl("Control_Error_Percent", &F::Control_Error_Percent),
        Int("Sampling", &F::Sampling),
        Dbl("Sample_Accuracy", &F::Sample_Accuracy),
        Int("Sample_Time", &F::Sample_Time),
        Int("Control_Delay", &F::Control_Delay),
        Int("Sample_Hold", &F::Sample_Hold),
        Int("Sens1_Fail", &F::Sens1_Fail),
        Int("Sens1_Pos", &F::Sens1_Pos),
        Int("Sens1_Back", &F::Sens1_Back),
        Int("Sens1_BkPos", &F::Sens1_BkPos),
        Int("Sens2_Fail", &F::Sens2_Fail),
        Int("Sens2_Pos", &F::Sens2_Pos),
        Int("Sens2_Back", &F::Sens2_Back),
        Int("Sens2_BkPos", &F::Sens2_BkPos),
        Int("Sens3_Fail", &F::Sens3_Fail),
        Int("Sens3_Pos", &F::Sens3_Pos),
        Int("Sens3_Back", &F::Sens3_Back),
        Int("Sens3_BkPos", &F::Sens3_BkPos),
        Int("Sens4_Fail", &F::Sens4_Fail),
        Int("Sens4_Pos", &F::Sens4_Pos),
        Int("Sens4_Back", &F::Sens4_Back),
        Int("Sens4_BkPos", &F::Sens4_BkPos)};
    return c;
}

template <>
const std::vector<Column<M>>& Columns<M>() {
    static const std::vector<Column<M>> c = {
        Txt("Material", &M::Material), Dbl("Density", &M::Density), Dbl("ZFactor", &M::ZFactor)};
    return c;
}

template <>
const std::vector<Column<S>>& Columns<S>() {
    static const std::vector<Column<S>> c = {
        Dbl("Period", &S::Period),
        Int("Simulate Mode", &S::Simulate_Mode),
        Int("System Tooling", &S::System_Tooling),
        Dbl("Min Freq", &S::Min_Freq),
        Dbl("Max Freq", &S::Max_Freq),
        Int("Dev Graph", &S::Dev_Graph),
        Dbl("Alpha", &S::Alpha),
        Int("Baud", &S::Baud),
        Int("Pass Enable", &S::Pass_Enable),
        Int("Password", &S::Password),
        Int("Alarm Sound", &S::Alarm_Sound),
        Int("Alert Sound", &S::Alert_Sound),
        Int("Attn Sound", &S::Attn_Sound),
        Int("Xtool1", &S::Xtool1),
        Int("Xtool2", &S::Xtool2),
        Int("Xtool3", &S::Xtool3),
        Int("Xtool4", &S::Xtool4),
        Dbl("Power Scale 1", &S::Power_Scale_1),
        Dbl("Power Scale 2", &S::Power_Scale_2),
        Dbl("Power Scale 3", &S::Power_Scale_3),
        Dbl("Power Scale 4", &S::Power_Scale_4),
        {"Rate_FilterAlpha_TC", ColumnType::Double, &S::Alpha, true}};
    return c;
}

template <>
const std::vector<Column<LogicRec>>& Columns<LogicRec>() {
    static const std::vector<Column<LogicRec>> c = [] {
        std::vector<Column<LogicRec>> columns = {Txt("Name", &LogicRec::Name)};
        static const std::array<std::string, kLogicTerms> names = [] {
            std::array<std::string, kLogicTerms> n;
            for (int k = 0; k < kLogicTerms; ++k) n[std::size_t(k)] = "IF" + std::to_string(k + 1);
            return n;
        }();
        for (int k = 0; k < kLogicTerms; ++k)
            columns.push_back({names[std::size_t(k)].c_str(), ColumnType::Long,
                               Term<LogicRec>{&LogicRec::IF, k}});
        columns.push_back(Lng("THEN", &LogicRec::THEN));
        columns.push_back(Int("Defined", &LogicRec::Defined));
        return columns;
    }();
    return c;
}

// Sensors and sources differ in one column.
template <class Rec>
std::vector<Column<Rec>> ChannelColumns(Column<Rec> own) {
    return {own,
            Lng("Shutter", &Rec::Shutter),
            Dbl("Shutter_Delay", &Rec::Shutter_Delay),
            Lng("Num_Positions", &Rec::Num_Positions),
            Lng("Current_Position", &Rec::Current_Position),
            Lng("Control_Type", &Rec::Control_Type),
            Lng("Feedback_Type", &Rec::Feedback_Type),
            Lng("Indexer_Delay", &Rec::Indexer_Delay),
            Txt("UseInputs", &Rec::UseInputs),
            Txt("UseRelays", &Rec::UseRelays)};
}

template <>
const std::vector<Column<SensorRec>>& Columns<SensorRec>() {
    static const auto c = ChannelColumns(Lng("Tooling", &SensorRec::Tooling));
    return c;
}

template <>
const std::vector<Column<SourceRec>>& Columns<SourceRec>() {
    static const auto c = ChannelColumns(Dbl("Voltage_Scale", &SourceRec::Voltage_Scale));
    return c;
}

template <>
const std::vector<Column<InputRec>>& Columns<InputRec>() {
    using I = InputRec;
    static const std::vector<Column<I>> c = {Txt("Name", &I::Name), Lng("Level", &I::Level),
                                             Lng("Pin", &I::Pin), Lng("UsedBy", &I::UsedBy),
                                             Lng("NameMode", &I::NameMode)};
    return c;
}

template <>
const std::vector<Column<RelayRec>>& Columns<RelayRec>() {
    using R = RelayRec;
    static const std::vector<Column<R>> c = {
        Txt("Name", &R::Name),        Lng("Type", &R::Type), Lng("Pulses", &R::Pulses),
        Dbl("Width", &R::Width),      Lng("Pin", &R::Pin),   Lng("UsedBy", &R::UsedBy),
        Lng("NameMode", &R::NameMode)};
    return c;
}

[[noreturn]] void Fail(long number, const std::string& what, const char* column) {
    throw DbError(number, what + " in column " + column);
}

// The numeric value of a column: stored numbers as they are, text only when the
// whole of it is a number; anything else is a type mismatch.
double NumberOf(const Statement& row, int index, const char* column) {
    if (row.IsBlob(index)) Fail(kErrTypeMismatch, "Type mismatch", column);
    if (!row.IsText(index)) return row.Double(index);
    const std::string text = util::Trim(row.Text(index));
    const std::string upper = util::ToUpper(text);
    if (upper == "TRUE" || upper == "YES") return 1;
    if (upper == "FALSE" || upper == "NO") return 0;
    char* end = nullptr;
    errno = 0;
    double value = text.empty() ? 0 : std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno == ERANGE)
        Fail(kErrTypeMismatch, "Type mismatch", column);
    return value;
}

template <class Int>
Int WholeOf(const Statement& row, int index, const char* column) {
    if (row.IsInteger(index)) {
        std::int64_t value = row.Int(index);
        if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
            Fail(kErrOverflow, "Overflow", column);
        return Int(value);
    }
    double value = NumberOf(row, index, column);
    if (!std::isfinite(value) || value < std::numeric_limits<Int>::min() - 0.5 ||
        value > std::numeric_limits<Int>::max() + 0.5)
        Fail(kErrOverflow, "Overflow", column);
    long whole = util::RoundHalfEven(value);
    if (whole < std::numeric_limits<Int>::min() || whole > std::numeric_limits<Int>::max())
        Fail(kErrOverflow, "Overflow", column);
    return Int(whole);
}

template <class Rec>
void ReadOne(const Statement& row, int index, const Column<Rec>& column, Rec& record) {
    const bool empty = row.IsNull(index);
    if (column.type == ColumnType::YesNo) {
        record.*std::get<double Rec::*>(column.field) =
            !empty && NumberOf(row, index, column.name) != 0 ? 1.0 : 0.0;
        return;
    }
    if (empty) return;
    std::visit(
        [&](auto field) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, std::int16_t Rec::*>)
                record.*field = WholeOf<std::int16_t>(row, index, column.name);
            else if constexpr (std::is_same_v<Field, std::int32_t Rec::*>)
                record.*field = WholeOf<std::int32_t>(row, index, column.name);
            else if constexpr (std::is_same_v<Field, double Rec::*>)
                record.*field = NumberOf(row, index, column.name);
            else if constexpr (std::is_same_v<Field, std::string Rec::*>) {
                if (row.IsBlob(index)) Fail(kErrTypeMismatch, "Type mismatch", column.name);
                record.*field = row.Text(index);
            } else
                (record.*(field.terms))[std::size_t(field.index)] =
                    WholeOf<std::int32_t>(row, index, column.name);
        },
        column.field);
}

template <class Rec>
void BindOne(Statement& update, int index, const Column<Rec>& column, const Rec& record) {
    std::visit(
        [&](auto field) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, double Rec::*>) {
                if (column.type == ColumnType::YesNo)
                    update.BindInt(index, record.*field != 0.0 ? 1 : 0);
                else
                    update.BindDouble(index, record.*field);
            } else if constexpr (std::is_same_v<Field, std::string Rec::*>)
                update.BindText(index, record.*field);
            else if constexpr (std::is_same_v<Field, Term<Rec>>)
                update.BindInt(index, (record.*(field.terms))[std::size_t(field.index)]);
            else
                update.BindInt(index, record.*field);
        },
        column.field);
}

}  // namespace

template <class Rec>
std::vector<ColumnInfo> ColumnsOf() {
    std::vector<ColumnInfo> info;
    for (const auto& column : Columns<Rec>())
        info.push_back({column.name, column.type, column.writeOnly});
    return info;
}

template <class Rec>
void ReadColumns(const Statement& row, Rec& record) {
    for (const auto& column : Columns<Rec>()) {
        if (column.writeOnly) continue;
        const int index = row.FindColumn(column.name);
        if (index < 0)
            throw DbError(kErrItemNotFound, std::string("Item not found: column ") + column.name);
        ReadOne(row, index, column, record);
    }
}

template <class Rec>
std::string UpdateSql() {
    const TableDesc& table = ViewOf(TableOf<Rec>());
    const std::string name = QuoteIdent(table.table);
    std::string sql = "UPDATE " + name + " SET ";
    const auto& columns = Columns<Rec>();
    for (std::size_t i = 0; i < columns.size(); ++i)
        sql += (i ? ", " : "") + QuoteIdent(columns[i].name) + "=?" + std::to_string(i + 1);
    sql += " WHERE rowid=(SELECT rowid FROM " + name;
    if (*table.key)
        sql += " WHERE " + QuoteIdent(table.key) + "=?" + std::to_string(columns.size() + 1);
    return sql + " ORDER BY rowid LIMIT 1)";
}

template <class Rec>
void BindColumns(Statement& update, const Rec& record, int key) {
    const auto& columns = Columns<Rec>();
    for (std::size_t i = 0; i < columns.size(); ++i)
        BindOne(update, int(i) + 1, columns[i], record);
    if (*ViewOf(TableOf<Rec>()).key) update.BindInt(int(columns.size()) + 1, key);
}

#define DELVAR_RECORD_COLUMNS(Rec)                          \
    template std::vector<ColumnInfo> ColumnsOf<Rec>();      \
    template void ReadColumns<Rec>(const Statement&, Rec&); \
    template std::string UpdateSql<Rec>();                  \
    template void BindColumns<Rec>(Statement&, const Rec&, int);

DELVAR_RECORD_COLUMNS(ProcessRec)
DELVAR_RECORD_COLUMNS(LayerRec)
DELVAR_RECORD_COLUMNS(FilmRec)
DELVAR_RECORD_COLUMNS(MaterialRec)
DELVAR_RECORD_COLUMNS(SystemRec)
DELVAR_RECORD_COLUMNS(LogicRec)
DELVAR_RECORD_COLUMNS(SensorRec)
DELVAR_RECORD_COLUMNS(SourceRec)
DELVAR_RECORD_COLUMNS(InputRec)
DELVAR_RECORD_COLUMNS(RelayRec)

}  // namespace delvar::setup
