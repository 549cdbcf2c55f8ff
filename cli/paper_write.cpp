#include "cli/paper_write.h"

#include "cli/paper_file.h"

namespace payroll::cli {

bool WritePaper(const std::string& path, PaperFormat format,
                const std::function<bool(std::FILE*)>& csv, const PaperPage& page,
                const std::function<void(PdfCanvas&)>& draw, std::string* error) {
    PaperFile file;
    if (!file.Open(path, error)) return false;
    if (format == PaperFormat::kCsv) {
        if (!csv(file.stream())) {
            *error = "cannot write " + path;
            return false;
        }
        return file.Commit(error);
    }
    {
        PdfCanvas pdf(file.stream(), page.width, page.height, page.title);
        draw(pdf);
        if (!pdf.Finish(error)) return false;
    }
    return file.Commit(error);
}

bool WriteCsvText(std::FILE* file, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

}  // namespace payroll::cli
