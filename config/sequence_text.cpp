#include "config/sequence_text.h"

namespace sortwell::config {

namespace {
// Besides LF: the paragraph and line separators, and the frame marks of a text document.
constexpr QChar kEditorLineSeparators[] = {QChar::ParagraphSeparator, QChar::LineSeparator,
                                           QChar(0xfdd0), QChar(0xfdd1)};
}  // namespace

QString SequenceForEditor(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

std::string SequenceFromEditor(QString text) {
    for (const QChar separator : kEditorLineSeparators) {
        text.replace(separator, QLatin1Char('\n'));
    }
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text.toStdString();
}

std::string SequenceAsEdited(const std::string& text) {
    return SequenceFromEditor(SequenceForEditor(text));
}

}  // namespace sortwell::config
