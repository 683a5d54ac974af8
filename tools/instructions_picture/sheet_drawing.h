#pragma once

#include <QImage>

namespace vellumark::tools {

// A cut-out of a spreadsheet grid as a spreadsheet program shows it: column
// letters A to L, row numbers 1 to 3, rows 1 and 2 holding an item number
// stored as text and a picture address that runs on over the empty columns,
// row 3 empty, cell A1 selected. 928 x 74 pixels.
QImage DrawExampleSheet();

}  // namespace vellumark::tools
