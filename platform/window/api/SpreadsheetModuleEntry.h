#pragma once

namespace pellorin {

class Spreadsheet;

// What a spreadsheet module exports, with C linkage: a function that returns a
// new Spreadsheet the caller owns. The program looks it up by this name when
// it loads the module (SpreadsheetModule); the module defines it
// (CalcModule.cpp). Both sides link only the interfaces, so the name lives
// here.
inline constexpr const char* kSpreadsheetModuleEntryPoint = "pellorin_create_spreadsheet";
using CreateSpreadsheet = Spreadsheet* (*)();

} // namespace pellorin
