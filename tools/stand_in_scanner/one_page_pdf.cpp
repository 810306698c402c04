#include "one_page_pdf.h"

namespace {

// Text inside a PDF string: backslash and parentheses need escaping; the rest is kept ASCII.
QByteArray PdfString(const QString& text) {
    QByteArray out;
    for (const char c : text.toLatin1()) {
        if (c == '\\' || c == '(' || c == ')') {
            out += '\\';
        }
        out += (c >= 32 && c < 127) ? c : '?';
    }
    return out;
}

}  // namespace

QByteArray OnePagePdf(const QString& text) {
    const QByteArray content = "BT /F1 24 Tf 72 720 Td (" + PdfString(text) + ") Tj ET";
    const QByteArray page =
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R /Resources << "
        "/Font << /F1 5 0 R >> >> >>";
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        page,
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
            "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    return PdfWithObjects(objects);
}

QByteArray PdfWithObjects(const QList<QByteArray>& objects) {
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets) {
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}
