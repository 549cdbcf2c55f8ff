#include "print/paper_write.h"

#include "print/paper_file.h"

namespace payroll::print {

bool WritePaper(const std::string& path, Format format, const std::function<std::string()>& csv,
                const PaperPage& page, const std::function<void(PdfCanvas&)>& draw,
                std::string* error) {
    if (format == Format::kXlsx) {
        *error = "cannot write " + path + ": this paper is written as PDF or CSV only";
        return false;
    }
    PaperFile file;
    if (!file.Open(path, error)) return false;
    if (format == Format::kCsv) {
        const std::string text = kCsvByteOrderMark + csv();
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

}  // namespace payroll::print
