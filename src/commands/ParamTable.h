// A command's parameters as data: for each parameter number the record field it
// moves and its wire scale. One table serves the read (a received value text into
// the field) and the write (the field as wire text).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "commands/WireNumbers.h"
#include "setup/SetupData.h"
#include "util/Text.h"

namespace delvar::commands {

template <class Rec>
struct WireParam {
    std::variant<std::string Rec::*, std::int16_t Rec::*, std::int32_t Rec::*, double Rec::*> field;
    int scale = 1;            // wire value = record value * scale
    bool wholeFirst = false;  // a received value is rounded to a whole number before scaling
};

// A 16-character name.
template <class Rec>
WireParam<Rec> NameParam(std::string Rec::*field) {
    return {field};
}
// An Integer or Long field, sent and stored as it is.
template <class Rec, class Int>
WireParam<Rec> WholeParam(Int Rec::*field) {
    return {field};
}
// A floating field travelling as value * scale.
template <class Rec>
WireParam<Rec> ScaledParam(double Rec::*field, int scale = 1, bool wholeFirst = false) {
    return {field, scale, wholeFirst};
}

template <class Rec>
class ParamTable {
  public:
    // Parameters numbered 1, 2, ... in the order given.
    ParamTable(std::initializer_list<WireParam<Rec>> params) {
        int number = 1;
        for (const auto& param : params) params_.emplace(number++, param);
    }
    // Parameters under the numbers given.
    explicit ParamTable(std::initializer_list<std::pair<const int, WireParam<Rec>>> params)
        : params_(params) {}

    bool Has(int number) const { return params_.count(number) != 0; }
    int Last() const { return params_.empty() ? 0 : params_.rbegin()->first; }

    // Stores a received value text; a number the table does not know is ignored.
    void Store(Rec& record, int number, std::string_view text) const {
        auto it = params_.find(number);
        if (it == params_.end()) return;
        const WireParam<Rec>& p = it->second;
        if (auto name = std::get_if<std::string Rec::*>(&p.field)) {
            record.*(*name) = setup::FixedName(util::Trim(text));
            return;
        }
        const double value = util::LeadingNumber(text);
        if (auto integer = std::get_if<std::int16_t Rec::*>(&p.field))
            record.*(*integer) = ToInteger(value);
        else if (auto whole = std::get_if<std::int32_t Rec::*>(&p.field))
            record.*(*whole) = ToLong(value);
        else
            record.*std::get<double Rec::*>(p.field) =
                (p.wholeFirst ? ToLong(value) : value) / p.scale;
    }

    // The wire value of a number field; 0 for a name or an unknown number.
    long Value(const Rec& record, int number) const {
        auto it = params_.find(number);
        if (it == params_.end()) return 0;
        const WireParam<Rec>& p = it->second;
        if (auto integer = std::get_if<std::int16_t Rec::*>(&p.field)) return record.*(*integer);
        if (auto whole = std::get_if<std::int32_t Rec::*>(&p.field)) return record.*(*whole);
        if (auto real = std::get_if<double Rec::*>(&p.field))
            return WireValue(record.*(*real), p.scale);
        return 0;
    }

    // The wire text: a name at its 16 characters, a number in decimal; "" when unknown.
    std::string Text(const Rec& record, int number) const {
        auto it = params_.find(number);
        if (it == params_.end()) return "";
        if (auto name = std::get_if<std::string Rec::*>(&it->second.field))
            return setup::FixedName(record.*(*name));
        return std::to_string(Value(record, number));
    }

  private:
    std::map<int, WireParam<Rec>> params_;
};

}  // namespace delvar::commands
