#include "pdf_output.h"

namespace mvz {

namespace {

PdfWriter& writer() {
    static PdfWriter w = nullptr;
    return w;
}

} // namespace

void setPdfWriter(PdfWriter w) {
    writer() = w;
}

std::string writePdfFile(const PageModel& model, const std::string& path) {
    if (!writer()) return "this build of mvz cannot write PDF files";
    return writer()(model, path);
}

} // namespace mvz
