#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "components/mask_edit.h"
#include "desk/date_entry.h"
#include "desk/tform1.h"

void TForm1::ResetDate() {
    const sortwell::desk::DateFields fields = sortwell::desk::ResetDate(services_.today());
    MaskEdit1->setText(QString::fromStdString(fields.month));
    MaskEdit2->setText(QString::fromStdString(fields.year));
}

void TForm1::ResetDateTimerTimer() {
    // A date typed for the document on the desk holds until that document is filed or
    // dismissed.
    if (currentDocument.empty()) {
        ResetDate();
    }
}

void TForm1::PostponedResetDate() {
    ResetDateTimer.restart();
}

void TForm1::Edit1Change() {
    services_.store->Push("lasttag", Edit1->text().toStdString());
    // Every keystroke saves; the flush to disk may trail so that typing never waits for it.
    writeStore(sortwell::platform::FlushTiming::Soon);
    updateTargetHints();
}

void TForm1::Edit1KeyDown() {
    tagConfirmed = true;
}

void TForm1::ComboBox1Change() {
    services_.store->Push("selectedname", std::to_string(ComboBox1->currentIndex()));
    writeStore(sortwell::platform::FlushTiming::Now);
    PostponedRefreshButtons();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        Edit1KeyDown();
    }
    // The fields would take Ctrl+Z for their own typing; on the desk it takes back a filing.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo)) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
