#pragma once

namespace pellorin {

class ErrorTrap;
class ResultsModel;
class Spreadsheet;

// "Save Results As Excel File": sends the ticked rows of `results` to a new,
// unsaved, visible workbook of `spreadsheet`, "Results" in the first cell and
// list row k in sheet row k + 1. Any failure is reported through `trap` once
// and ends the export. Yields to the event queue a few times a second.
void exportToSpreadsheet(ResultsModel& results, Spreadsheet& spreadsheet, ErrorTrap& trap);

} // namespace pellorin
