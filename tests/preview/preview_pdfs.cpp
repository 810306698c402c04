#include "preview_pdfs.h"

#include <QList>

#include "tools/stand_in_scanner/one_page_pdf.h"

namespace preview_pdfs {
namespace {

constexpr int kA4Width = 595;
constexpr int kA4Height = 842;

QByteArray Ref(qsizetype object) {
    return QByteArray::number(object) + " 0 R";
}

QByteArray Stream(const QByteArray& dictionary, const QByteArray& data) {
    return "<< " + dictionary + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n" +
           data + "\nendstream";
}

QByteArray Page(int width, int height, qsizetype contents, const QByteArray& resources) {
    return "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + QByteArray::number(width) + " " +
           QByteArray::number(height) + "] /Contents " + Ref(contents) + " /Resources << " +
           resources + " >> >>";
}

// Catalog, page tree, then per page a page object and its contents, then `shared`.
QByteArray Pages(int pages, const QList<QByteArray>& pageObjects, const QList<QByteArray>& contents,
                 const QList<QByteArray>& shared) {
    QByteArray kids;
    for (int i = 0; i < pages; ++i) {
        kids += Ref(3 + 2 * i) + " ";
    }
    QList<QByteArray> objects = {"<< /Type /Catalog /Pages 2 0 R >>",
                                 "<< /Type /Pages /Kids [" + kids.trimmed() + "] /Count " +
                                     QByteArray::number(pages) + " >>"};
    for (int i = 0; i < pages; ++i) {
        objects << pageObjects.at(i) << contents.at(i);
    }
    objects << shared;
    return PdfWithObjects(objects);
}

}  // namespace

QByteArray TextPages(int pages) {
    const qsizetype font = 3 + 2 * pages;
    const QByteArray resources = "/Font << /F1 " + Ref(font) + " >>";
    QList<QByteArray> pageObjects;
    QList<QByteArray> contents;
    for (int i = 0; i < pages; ++i) {
        pageObjects << Page(kA4Width, kA4Height, 4 + 2 * i, resources);
        contents << Stream({},
                           "BT /F1 48 Tf 72 720 Td (Page " + QByteArray::number(i + 1) + ") Tj ET");
    }
    return Pages(pages, pageObjects, contents,
                 {"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"});
}

QByteArray SquarePage(int points) {
    const QByteArray side = QByteArray::number(points);
    return Pages(1, {Page(points, points, 4, {})},
                 {Stream({}, "0 0 1 rg 0 0 " + side + " " + side + " re f")}, {});
}

QByteArray LoopingPageTree() {
    return PdfWithObjects({"<< /Type /Catalog /Pages 2 0 R >>",
                           "<< /Type /Pages /Kids [2 0 R 3 0 R] /Count 2 >>",
                           Page(kA4Width, kA4Height, 4, {}), Stream({}, "0 0 m 100 100 l S")});
}

QByteArray JpegPages(const QByteArray& jpeg, QSize pixels, int pages) {
    const qsizetype image = 3 + 2 * pages;
    const QByteArray resources = "/XObject << /Scan " + Ref(image) + " >>";
    const QByteArray draw = "q " + QByteArray::number(kA4Width) + " 0 0 " +
                            QByteArray::number(kA4Height) + " 0 0 cm /Scan Do Q";
    QList<QByteArray> pageObjects;
    QList<QByteArray> contents;
    for (int i = 0; i < pages; ++i) {
        pageObjects << Page(kA4Width, kA4Height, 4 + 2 * i, resources);
        contents << Stream({}, draw);
    }
    const QByteArray imageDictionary =
        "/Type /XObject /Subtype /Image /Width " + QByteArray::number(pixels.width()) +
        " /Height " + QByteArray::number(pixels.height()) +
        " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode";
    return Pages(pages, pageObjects, contents, {Stream(imageDictionary, jpeg)});
}

}  // namespace preview_pdfs
