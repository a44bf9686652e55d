#pragma once
// Writing pages to a PDF file from a command of the Qt-free command-line
// library (`mvz form --pdf`): the drawing needs Qt, so the program hands the
// library its writer at start; without one a command refuses --pdf.

#include <string>

#include "print/page_model.h"

namespace mvz {

// Writes every page of `model` to `path`: "" on success, else the reason.
using PdfWriter = std::string (*)(const PageModel& model, const std::string& path);

void setPdfWriter(PdfWriter writer);

// The writer set, or the reason there is none.
std::string writePdfFile(const PageModel& model, const std::string& path);

} // namespace mvz
