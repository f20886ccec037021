// Film records in five command groups (A1 name, A2..A5 parameters) and material
// records in the F command, one parameter at a time with a retry question.
#pragma once

#include <string>

#include "core/DialogService.h"
#include "link/Link.h"
#include "setup/SetupData.h"

namespace delvar::commands {

int ReadFilm(link::Link& link, setup::SetupData& setup, int film);
int WriteFilm(link::Link& link, const setup::SetupData& setup, int film);

// code = group * 100 + parameter number (101 is the name).
void SetFilmParam(setup::FilmRec& film, int code, const std::string& value);
std::string GetFilmParam(const setup::FilmRec& film, int code);  // "" for an unknown code

// 0, or 95 when a backup sensor above 2 is named on an instrument with fewer outputs.
int CheckFilmModel(const link::InstrumentInfo& info, const setup::SetupData& setup, int film);

// parameter 0 = all three. Refused values are asked about (Yes retries).
int ReadMaterial(link::Link& link, core::DialogService& dialogs, setup::SetupData& setup,
                 int material, int parameter);
int WriteMaterial(link::Link& link, core::DialogService& dialogs, const setup::SetupData& setup,
                  int material, int parameter);

}  // namespace delvar::commands
