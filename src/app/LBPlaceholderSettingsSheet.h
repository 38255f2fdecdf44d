#pragma once

// The placeholder settings sheet behind the canvas's LBPlaceholderSettings: a window-modal
// dialog on the document window. The object placeholder's window has a type pop-up, the
// prompt text, its position and direction, the background colour with a pattern pop-up
// (a sample picture pop-up for photos in its place), the prompt's colour and a check box
// hiding the outline; the background placeholder's window has neither the type and picture
// pop-ups nor the check box.
//
// Values given before the window exists are kept and shown when it is made; afterwards the
// controls hold them. Choosing a type writes the prompt "Drag\r<type>\rHere" (the line
// breaks carriage returns, shown as line breaks; "Alphabet" reads "Letter") and the
// type's background colour. OK and Cancel close the sheet and tell the delegate, which may
// let the sheet go at once.

#include "canvas/LBPlaceholderSettings.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace platform {
class ColorWell;
}

class LBPlaceholderSettingsSheet : public LBPlaceholderSettings
{
public:
    explicit LBPlaceholderSettingsSheet(bool forBackgroundPlaceholder);
    ~LBPlaceholderSettingsSheet() override;

    // The type pop-up's titles (sub-types indented by three blanks).
    static const QStringList& typeTitles();
    // A title without its indentation.
    static QString typeForTitle(const QString& title);
    // The name a type is called by in the prompt ("Letter" for "Alphabet").
    static QString displayNameForType(const QString& type);
    // The prompt a type starts with.
    static QString promptForType(const QString& type);
    // The background colour a type starts with: white for photos, black for paper, grey
    // for the others.
    static QColor colorForType(const QString& type);

    QWidget* window() const override;
    void beginSheetForWindow(QWidget* parentWindow) override;
    // Makes the window and its controls when they do not exist yet.
    void loadWindow();
    bool isWindowLoaded() const;

    QString typeString() const override;
    void setTypeString(const QString& type) override;
    QString promptString() const override;
    void setPromptString(const QString& prompt) override;
    qint64 promptLocation() const override;
    void setPromptLocation(qint64 location) override;
    bool promptIsVertical() const override;
    void setPromptIsVertical(bool vertical) override;
    QColor color() const override;
    void setColor(const QColor& color) override;
    QColor labelColor() const override;
    void setLabelColor(const QColor& color) override;
    // 0 for a photo placeholder, whatever the pop-up shows.
    qint64 patternIndex() const override;
    void setPatternIndex(qint64 index) override;
    qint64 imageIndex() const override;
    void setImageIndex(qint64 index) override;
    bool hideOutline() const override;
    void setHideOutline(bool hide) override;

    // --- Actions ---
    void typePopupAction();
    // OK (save) or Cancel.
    void cancelOrOKAction(bool ok);

    // --- Controls (nullptr before the window is made, and those a window lacks) ---
    QComboBox* typePopup() const { return _typePopup; }
    QPlainTextEdit* promptText() const { return _promptText; }
    QComboBox* promptPopup() const { return _promptPopup; }
    QComboBox* verticalPopup() const { return _verticalPopup; }
    QComboBox* patternPopup() const { return _patternPopup; }
    QComboBox* imagePopup() const { return _imagePopup; }
    platform::ColorWell* colorWell() const { return _colorWell; }
    platform::ColorWell* labelColorWell() const { return _labelColorWell; }
    QCheckBox* hideOutlineCheckBox() const { return _hideOutlineCheck; }
    QPushButton* okButton() const { return _okButton; }
    QPushButton* cancelButton() const { return _cancelButton; }

private:
    void buildWindow();
    // The pattern pop-up for every type but photos, which show the picture pop-up in its
    // place.
    void updateControlsForType();
    void selectTypeTitle(const QString& type);

    QPointer<QDialog> _dialog;
    // The context of the dialog's connections to this sheet: it goes with the sheet, while
    // the dialog itself may outlive it until its deferred deletion.
    std::unique_ptr<QObject> _receiver;
    QComboBox* _typePopup = nullptr;
    QPlainTextEdit* _promptText = nullptr;
    QComboBox* _promptPopup = nullptr;
    QComboBox* _verticalPopup = nullptr;
    QComboBox* _patternPopup = nullptr;
    QComboBox* _imagePopup = nullptr;
    QLabel* _patternLabel = nullptr;
    platform::ColorWell* _colorWell = nullptr;
    platform::ColorWell* _labelColorWell = nullptr;
    QCheckBox* _hideOutlineCheck = nullptr;
    QPushButton* _okButton = nullptr;
    QPushButton* _cancelButton = nullptr;
    bool _labelColorGiven = false;
};
