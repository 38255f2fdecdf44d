#include "app/LBPlaceholderSettingsSheet.h"

#include "platform/core/Strings.h"
#include "platform/ui/ColorWell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kIndent = QStringLiteral("   ");
const QString kTable = QStringLiteral("Placeholder Settings");

QString localized(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), kTable);
}

// Line breaks are carriage returns in the value and line feeds in the text view.
QString shownPrompt(const QString& prompt)
{
    QString shown = prompt;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

QString storedPrompt(const QString& shown)
{
    QString prompt = shown;
    prompt.replace(u'\n', u'\r');
    return prompt;
}

void selectTag(QComboBox* popup, qint64 tag)
{
    const int index = popup->findData(tag);
    if (index >= 0)
        popup->setCurrentIndex(index);
}

qint64 selectedTag(const QComboBox* popup)
{
    return popup->currentData().toLongLong();
}

QComboBox* taggedPopup(QWidget* parent, const QList<std::pair<const char*, qint64>>& items)
{
    auto* popup = new QComboBox(parent);
    for (const auto& [title, tag] : items)
        popup->addItem(localized(title), tag);
    return popup;
}

} // namespace

LBPlaceholderSettingsSheet::LBPlaceholderSettingsSheet(bool forBackgroundPlaceholder)
    : LBPlaceholderSettings(forBackgroundPlaceholder)
{}

LBPlaceholderSettingsSheet::~LBPlaceholderSettingsSheet()
{
    // The delegate may let the sheet go from inside its own button's click, so the dialog
    // goes later; its buttons and its rejection must not reach this sheet meanwhile.
    _receiver.reset();
    if (_dialog) {
        _dialog->hide();
        _dialog->deleteLater();
    }
}

// ==== Types ===============================================================================

const QStringList& LBPlaceholderSettingsSheet::typeTitles()
{
    static const QStringList titles = {
        QStringLiteral("Photo"),
        QStringLiteral("Paper"),
        QStringLiteral("Alphabet"),
        QStringLiteral("Frame"),
        QStringLiteral("Word Art"),
        QStringLiteral("Stamp"),
        QStringLiteral("Embellishment"),
        kIndent + QStringLiteral("Bow"),
        kIndent + QStringLiteral("Brad"),
        kIndent + QStringLiteral("Button"),
        kIndent + QStringLiteral("Flower"),
        kIndent + QStringLiteral("Ribbon"),
        kIndent + QStringLiteral("Tag"),
    };
    return titles;
}

QString LBPlaceholderSettingsSheet::typeForTitle(const QString& title)
{
    return title.startsWith(kIndent) ? title.mid(kIndent.size()) : title;
}

QString LBPlaceholderSettingsSheet::displayNameForType(const QString& type)
{
    return type == QLatin1String("Alphabet") ? localized("Letter") : type;
}

QString LBPlaceholderSettingsSheet::promptForType(const QString& type)
{
    return QStringLiteral("Drag\r%1\rHere").arg(displayNameForType(type));
}

QColor LBPlaceholderSettingsSheet::colorForType(const QString& type)
{
    if (type == QLatin1String("Photo"))
        return Qt::white;
    if (type == QLatin1String("Paper"))
        return Qt::black;
    return QColor::fromRgbF(0.5, 0.5, 0.5);
}

// ==== The window ==========================================================================

QWidget* LBPlaceholderSettingsSheet::window() const
{
    return _dialog;
}

bool LBPlaceholderSettingsSheet::isWindowLoaded() const
{
    return _dialog != nullptr;
}

void LBPlaceholderSettingsSheet::beginSheetForWindow(QWidget* parentWindow)
{
    loadWindow();
    if (parentWindow) {
        _dialog->setParent(parentWindow, _dialog->windowFlags() | Qt::Sheet);
        _dialog->setWindowModality(Qt::WindowModal);
    } else {
        _dialog->setWindowModality(Qt::ApplicationModal);
    }
    _dialog->open();
}

void LBPlaceholderSettingsSheet::loadWindow()
{
    if (_dialog)
        return;
    buildWindow();
    // The values kept so far go into the controls; without any, the first type's.
    const bool background = isForBackgroundPlaceholder();
    if (_labelColorGiven) {
        if (!background) {
            selectTypeTitle(LBPlaceholderSettings::typeString());
            _hideOutlineCheck->setChecked(LBPlaceholderSettings::hideOutline());
            selectTag(_imagePopup, LBPlaceholderSettings::imageIndex());
        }
        updateControlsForType();
        _promptText->setPlainText(shownPrompt(LBPlaceholderSettings::promptString()));
        selectTag(_promptPopup, LBPlaceholderSettings::promptLocation());
        _verticalPopup->setCurrentIndex(LBPlaceholderSettings::promptIsVertical() ? 1 : 0);
        _colorWell->setColor(LBPlaceholderSettings::color());
        _labelColorWell->setColor(LBPlaceholderSettings::labelColor());
        selectTag(_patternPopup, LBPlaceholderSettings::patternIndex());
    } else if (!background) {
        typePopupAction();
    } else {
        _promptText->setPlainText(shownPrompt(promptForType(QStringLiteral("Paper"))));
        _colorWell->setColor(colorForType(QString()));
    }
    // Nothing starts selected: the prompt is not to be typed over by accident.
    const QPointer<QDialog> dialog = _dialog;
    QTimer::singleShot(100, _dialog, [dialog] {
        if (dialog && dialog->focusWidget())
            dialog->focusWidget()->clearFocus();
    });
}

void LBPlaceholderSettingsSheet::buildWindow()
{
    const bool background = isForBackgroundPlaceholder();
    _dialog = new QDialog;
    _receiver = std::make_unique<QObject>();
    _dialog->setObjectName(background ? QStringLiteral("BackgroundPlaceholderSettings")
                                      : QStringLiteral("PlaceholderSettings"));
    _dialog->setWindowTitle(localized(background ? "Background Placeholder" : "Placeholder"));
    auto* layout = new QVBoxLayout(_dialog);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    int row = 0;
    const auto label = [this](const char* text) {
        auto* shown = new QLabel(localized(text), _dialog);
        shown->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return shown;
    };

    if (!background) {
        _typePopup = new QComboBox(_dialog);
        _typePopup->addItems(typeTitles());
        QObject::connect(_typePopup, qOverload<int>(&QComboBox::activated), _receiver.get(),
                         [this](int) { typePopupAction(); });
        grid->addWidget(label("Type:"), row, 0);
        grid->addWidget(_typePopup, row++, 1, 1, 2);
    }

    _promptText = new QPlainTextEdit(_dialog);
    _promptText->setTabChangesFocus(true);
    _promptText->setFixedHeight(_promptText->fontMetrics().lineSpacing() * 3 + 12);
    grid->addWidget(label("Prompt:"), row, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(_promptText, row++, 1, 1, 2);

    _promptPopup = taggedPopup(_dialog, {{"Center", 0},
                                         {"Top", 1},
                                         {"Bottom", 2},
                                         {"Left", 3},
                                         {"Right", 4},
                                         {"Top Left", 5},
                                         {"Top Right", 6},
                                         {"Bottom Left", 7},
                                         {"Bottom Right", 8}});
    grid->addWidget(label("Prompt Position:"), row, 0);
    grid->addWidget(_promptPopup, row++, 1, 1, 2);

    _verticalPopup = taggedPopup(_dialog, {{"Horizontal", 0}, {"Vertical", 1}});
    grid->addWidget(label("Prompt Direction:"), row, 0);
    grid->addWidget(_verticalPopup, row++, 1, 1, 2);

    _labelColorWell = new platform::ColorWell(_dialog);
    _labelColorWell->setFixedSize(44, 22);
    _labelColorWell->setColor(Qt::black);
    grid->addWidget(label("Prompt Color:"), row, 0);
    grid->addWidget(_labelColorWell, row++, 1, Qt::AlignLeft);

    _colorWell = new platform::ColorWell(_dialog);
    _colorWell->setFixedSize(44, 22);
    _colorWell->setColor(Qt::white);
    grid->addWidget(label("Background:"), row, 0);
    grid->addWidget(_colorWell, row, 1, Qt::AlignLeft);
    // The pattern pop-up and, for photos, the picture pop-up in its place.
    _patternPopup = taggedPopup(_dialog, {{"No Pattern", 0},
                                          {"Pattern 1", 1},
                                          {"Pattern 2", 2},
                                          {"Pattern 3", 3},
                                          {"Pattern 4", 4},
                                          {"Pattern 5", 5},
                                          {"Pattern 6", 6},
                                          {"Pattern 7", 7},
                                          {"Pattern 8", 8}});
    grid->addWidget(_patternPopup, row, 2);
    if (!background) {
        _imagePopup = taggedPopup(
            _dialog, {{"Man", 0}, {"Woman", 1}, {"Group", 2}, {"Landscape", 3}, {"Camera", 4}});
        grid->addWidget(_imagePopup, row, 2);
        _imagePopup->hide();
    }
    ++row;

    if (!background) {
        _hideOutlineCheck = new QCheckBox(localized("Hide outline"), _dialog);
        grid->addWidget(_hideOutlineCheck, row++, 1, 1, 2);
    }
    grid->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    _cancelButton = new QPushButton(localized("Cancel"), _dialog);
    _okButton = new QPushButton(localized("OK"), _dialog);
    _okButton->setDefault(true);
    buttons->addWidget(_cancelButton);
    buttons->addWidget(_okButton);
    layout->addLayout(buttons);
    QObject::connect(_okButton, &QPushButton::clicked, _receiver.get(),
                     [this] { cancelOrOKAction(true); });
    QObject::connect(_cancelButton, &QPushButton::clicked, _receiver.get(),
                     [this] { cancelOrOKAction(false); });
    // Escape and the window's close box cancel.
    QObject::connect(_dialog, &QDialog::rejected, _receiver.get(),
                     [this] { cancelOrOKAction(false); });
}

void LBPlaceholderSettingsSheet::selectTypeTitle(const QString& type)
{
    if (!_typePopup)
        return;
    int index = _typePopup->findText(type, Qt::MatchExactly);
    if (index < 0)
        index = _typePopup->findText(kIndent + type, Qt::MatchExactly);
    if (index >= 0)
        _typePopup->setCurrentIndex(index);
}

void LBPlaceholderSettingsSheet::updateControlsForType()
{
    if (!_dialog || !_imagePopup)
        return; // a background placeholder always shows its patterns
    const bool photo = typeString() == QLatin1String("Photo");
    _patternPopup->setVisible(!photo);
    _imagePopup->setVisible(photo);
}

// ==== Values ==============================================================================

QString LBPlaceholderSettingsSheet::typeString() const
{
    if (!_typePopup)
        return LBPlaceholderSettings::typeString();
    return typeForTitle(_typePopup->currentText());
}

void LBPlaceholderSettingsSheet::setTypeString(const QString& type)
{
    const QString plain = typeForTitle(type);
    LBPlaceholderSettings::setTypeString(plain);
    if (!_typePopup)
        return;
    selectTypeTitle(plain);
    updateControlsForType();
}

QString LBPlaceholderSettingsSheet::promptString() const
{
    return _promptText ? storedPrompt(_promptText->toPlainText())
                       : LBPlaceholderSettings::promptString();
}

void LBPlaceholderSettingsSheet::setPromptString(const QString& prompt)
{
    LBPlaceholderSettings::setPromptString(prompt);
    if (_promptText)
        _promptText->setPlainText(shownPrompt(prompt));
}

qint64 LBPlaceholderSettingsSheet::promptLocation() const
{
    return _promptPopup ? selectedTag(_promptPopup) : LBPlaceholderSettings::promptLocation();
}

void LBPlaceholderSettingsSheet::setPromptLocation(qint64 location)
{
    LBPlaceholderSettings::setPromptLocation(location);
    if (_promptPopup)
        selectTag(_promptPopup, location);
}

bool LBPlaceholderSettingsSheet::promptIsVertical() const
{
    return _verticalPopup ? _verticalPopup->currentIndex() == 1
                          : LBPlaceholderSettings::promptIsVertical();
}

void LBPlaceholderSettingsSheet::setPromptIsVertical(bool vertical)
{
    LBPlaceholderSettings::setPromptIsVertical(vertical);
    if (_verticalPopup)
        _verticalPopup->setCurrentIndex(vertical ? 1 : 0);
}

QColor LBPlaceholderSettingsSheet::color() const
{
    return _colorWell ? _colorWell->color() : LBPlaceholderSettings::color();
}

void LBPlaceholderSettingsSheet::setColor(const QColor& color)
{
    LBPlaceholderSettings::setColor(color);
    if (_colorWell)
        _colorWell->setColor(color);
}

QColor LBPlaceholderSettingsSheet::labelColor() const
{
    return _labelColorWell ? _labelColorWell->color() : LBPlaceholderSettings::labelColor();
}

void LBPlaceholderSettingsSheet::setLabelColor(const QColor& color)
{
    LBPlaceholderSettings::setLabelColor(color);
    _labelColorGiven = true;
    if (_labelColorWell)
        _labelColorWell->setColor(color);
}

qint64 LBPlaceholderSettingsSheet::patternIndex() const
{
    if (!isForBackgroundPlaceholder() && typeString() == QLatin1String("Photo"))
        return 0;
    return _patternPopup ? selectedTag(_patternPopup) : LBPlaceholderSettings::patternIndex();
}

void LBPlaceholderSettingsSheet::setPatternIndex(qint64 index)
{
    LBPlaceholderSettings::setPatternIndex(index);
    if (_patternPopup)
        selectTag(_patternPopup, index);
}

qint64 LBPlaceholderSettingsSheet::imageIndex() const
{
    return _imagePopup ? selectedTag(_imagePopup) : LBPlaceholderSettings::imageIndex();
}

void LBPlaceholderSettingsSheet::setImageIndex(qint64 index)
{
    LBPlaceholderSettings::setImageIndex(index);
    if (_imagePopup)
        selectTag(_imagePopup, index);
}

bool LBPlaceholderSettingsSheet::hideOutline() const
{
    return _hideOutlineCheck ? _hideOutlineCheck->isChecked()
                             : LBPlaceholderSettings::hideOutline();
}

void LBPlaceholderSettingsSheet::setHideOutline(bool hide)
{
    LBPlaceholderSettings::setHideOutline(hide);
    if (_hideOutlineCheck)
        _hideOutlineCheck->setChecked(hide);
}

// ==== Actions =============================================================================

void LBPlaceholderSettingsSheet::typePopupAction()
{
    if (!_typePopup)
        return;
    const QString type = typeForTitle(_typePopup->currentText());
    LBPlaceholderSettings::setTypeString(type);
    _promptText->setPlainText(shownPrompt(promptForType(type)));
    _colorWell->setColor(colorForType(type));
    updateControlsForType();
}

void LBPlaceholderSettingsSheet::cancelOrOKAction(bool ok)
{
    if (_dialog) {
        _dialog->hide();
        _dialog->setResult(ok ? QDialog::Accepted : QDialog::Rejected);
    }
    // Last: the delegate may let the sheet go.
    dismiss(ok);
}
