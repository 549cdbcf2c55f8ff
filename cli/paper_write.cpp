#include "cli/paper_write.h"

#include "cli/paper_file.h"

namespace payroll::cli {

bool WritePaper(const std::string& path, PaperFormat format,
                const std::function<std::string()>& csv, const PaperPage& page,
                const std::function<void(PdfCanvas&)>& draw, std::string* error) {
    PaperFile file;
    if (!file.Open(path, error)) return false;
    if (format == PaperFormat::kCsv) {
        const std::string text = csv();
        file.Write(text.data(), text.size());
        return file.Commit(error);  // says why a write failed
    }
    std::string reason;
    bool whole = false;
    {
        PdfCanvas pdf(file, page.width, page.height, page.title);
        draw(pdf);
        whole = pdf.Finish(&reason);
    }
    if (!whole) {
        *error = "cannot write " + path + ": " + reason;
        return false;  // the temporary file goes with `file`
    }
    return file.Commit(error);
}

}  // namespace payroll::cli
