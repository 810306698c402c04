#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QString>

#include "config/configuration_face.h"
#include "desk/desk_services.h"

class DeskFace;
class QWidget;
class SequenceRunner;
class TForm3;

// The Configuration dialog as the desk sees it, made only when first needed. Until then the
// values live here: outside an open dialog its fields always equal the store (every closing
// loads), so the desk's setters and getters need no window. Once the dialog is made it is
// filled from here and its live fields answer from then on.
class Configuration : public ConfigurationFace {
public:
    // The dialog will ask `desk` to save and load, show `runner` and be a child of `parent`.
    Configuration(DeskServices services, DeskFace* desk, SequenceRunner* runner, QWidget* parent);
    ~Configuration() override;
    Configuration(const Configuration&) = delete;
    Configuration& operator=(const Configuration&) = delete;

    // The dialog, made and filled on the first call.
    TForm3& dialog();
    bool dialogMade() const { return dialog_ != nullptr; }

    QString inputFolder() const override;
    void setInputFolder(const QString& folder) override;
    bool attachOriginalName() const override;
    void setAttachOriginalName(bool attach) override;
    bool watchInput() const override;
    void setWatchInput(bool watch) override;
    bool showPreview() const override;
    void setShowPreview(bool show) override;
    bool autostart() const override;
    void setAutostart(bool autostart) override;
    QString columnsText() const override;
    void setColumnsText(const QString& text) override;
    std::vector<sortwell::desk::TargetButton> targetButtons() const override;
    void setTargetButtons(const std::vector<sortwell::desk::TargetButton>& buttons) override;
    std::vector<std::string> names() const override;
    void setNames(const std::vector<std::string>& names) override;
    std::string sequenceText() const override;
    void setSequenceText(const std::string& text) override;

    void Run() override;
    void AbortRun() override;
    void resumeRunner() override;
    void refreshWindowList() override;

    void showModal() override;
    void notify(const QString& title, const QString& text) override;

private:
    // What the dialog's fields hold when it is made: the same as a new dialog shows.
    struct Values {
        QString inputFolder;
        bool attachOriginalName = true;
        bool watchInput = true;
        bool showPreview = true;
        bool autostart = true;
        QString columnsText = QStringLiteral("3");
        std::vector<sortwell::desk::TargetButton> targetButtons;
        std::vector<std::string> names;
        std::string sequenceText;
    };

    void fill(ConfigurationFace& fields) const;

    DeskServices services_;
    DeskFace* desk_;
    SequenceRunner* runner_;
    QWidget* parent_;
    Values held_;
    std::unique_ptr<TForm3> dialog_;
};
