// The merge-field menus of the canvas: a field's formats offered at its run, the address
// blocks offered at an address box's tab, and what a choice writes into the text.

#include "canvas/LBFieldRanges.h"
#include "canvas/LBGraphicView.h"

#include "graphics/LBTextArea.h"
#include "platform/core/Range.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/BezierPath.h"
#include "platform/text/AttributedString.h"
#include "platform/text/TextStorage.h"

#include <QAction>
#include <QActionGroup>
#include <QFont>
#include <QFontMetricsF>
#include <QMenu>

using platform::AttributedString;
using platform::Range;

namespace {

// Keys of a field dictionary and of a rollover entry.
const QString PropertyNameKey = QStringLiteral("LBPropertyName");
const QString IdentityIndexKey = QStringLiteral("LBIdentityFieldIndex");
const QString DateIndexKey = QStringLiteral("LBDateFormatIndex");
const QString TimeIndexKey = QStringLiteral("LBTimeFormatIndex");
const QString PhoneIndexKey = QStringLiteral("LBPhoneFormatIndex");
const QString FieldDictionaryKey = QStringLiteral("LBFieldDictionary");
const QString RolloverRectsKey = QStringLiteral("LBRolloverRectArray");
const QString FieldRangeKey = QStringLiteral("LBFieldRange");

const QString AddressProperty = QStringLiteral("kLBQIdentityAddressProperty");
const QString SingleAddressProperty = QStringLiteral("kLBQIdentitySingleAddressProperty");
const QString EmailProperty = QStringLiteral("kLBQIdentityEmailProperty");
const QString PhoneProperty = QStringLiteral("kLBQIdentityPhoneProperty");
const QString FaxProperty = QStringLiteral("kLBQIdentityFaxPhoneProperty");

constexpr qint64 PhoneFormatCount = 14;

bool showsTextPopupMenus = true;

// The kind of a field: the first of these keys its dictionary holds.
enum class FieldKind { None, Identity, Date, Time, Phone };

FieldKind fieldKind(const QVariantMap& field)
{
    if (field.contains(IdentityIndexKey))
        return FieldKind::Identity;
    if (field.contains(DateIndexKey))
        return FieldKind::Date;
    if (field.contains(TimeIndexKey))
        return FieldKind::Time;
    if (field.contains(PhoneIndexKey))
        return FieldKind::Phone;
    return FieldKind::None;
}

qint64 indexValue(const QVariantMap& field, const QString& key)
{
    return platform::intValue(field.value(key));
}

QStringList fieldNames(std::initializer_list<const char*> keys)
{
    QStringList titles;
    for (const char* key : keys)
        titles.append(platform::LocalizedString(QString::fromLatin1(key),
                                                QStringLiteral("FieldNameStrings")));
    return titles;
}

QString dateTitle(const char* label, const QString& date)
{
    QString title =
        platform::LocalizedString(QString::fromLatin1(label), QStringLiteral("DateFormatStrings"));
    return title.replace(QLatin1String("%@"), date);
}

// The titles of the address-block menu; a separator goes before the ninth.
QStringList addressBlockTitles(bool myFields)
{
    QStringList titles;
    for (const char* key : LBPreformattedAddressBlockKeys) {
        const QString name = (myFields ? QStringLiteral("My") : QString()) + QLatin1String(key);
        titles.append(platform::LocalizedString(name, QStringLiteral("PreformattedAddressFields")));
    }
    return titles;
}
constexpr qint64 AddressSeparatorPosition = 8;

// A menu of the titles with a separator inserted at its position (none for -1); each item
// knows its position, separators counted.
QMenu* menuWithTitles(const QStringList& titles, qint64 separator, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    for (const QString& title : titles) {
        if (menu->actions().size() == separator)
            menu->addSeparator();
        menu->addAction(title);
    }
    const QList<QAction*> actions = menu->actions();
    for (qsizetype position = 0; position < actions.size(); ++position)
        actions.at(position)->setData(position);
    return menu;
}

QAction* actionAtPosition(QMenu* menu, qint64 position)
{
    const QList<QAction*> actions = menu->actions();
    return position >= 0 && position < actions.size() ? actions.at(position) : nullptr;
}

void checkAction(QAction* action)
{
    if (!action || action->isSeparator())
        return;
    action->setCheckable(true);
    action->setChecked(true);
}

} // namespace

void LBGraphicView::setShowsTextPopupMenus(bool shows)
{
    showsTextPopupMenus = shows;
}

QMenu* LBGraphicView::fieldMenuButton() const
{
    return _fieldMenuButton;
}

QMenu* LBGraphicView::textTypeMenuButton() const
{
    return _textTypeMenuButton;
}

LBTextArea* LBGraphicView::targetTextObject() const
{
    return dynamic_cast<LBTextArea*>(_targetTextObject.lock().get());
}

void LBGraphicView::setFieldMenuTarget(const LBGraphicPtr& textArea,
                                       const QVariantMap& rolloverEntry)
{
    _targetTextObject = textArea;
    _fieldMenuRolloverDict = rolloverEntry;
}

// --- Date menu positions ---

namespace {

// Menu position and format index where they are not six apart: the locale's styles first.
constexpr std::pair<qint64, qint64> DatePositions[] = {
    {0, 0}, {1, 23}, {2, 24}, {3, 25}, {4, 26}, {5, 27}, {6, 1}, {7, 28}, {27, 21}, {28, 22},
};

} // namespace

qint64 LBGraphicView::dateFormatIndexForMenuIndex(qint64 menuIndex)
{
    for (const auto& [position, format] : DatePositions) {
        if (position == menuIndex)
            return format;
    }
    return menuIndex - 6;
}

qint64 LBGraphicView::menuIndexForDateFormatIndex(qint64 formatIndex)
{
    for (const auto& [position, format] : DatePositions) {
        if (format == formatIndex)
            return position;
    }
    return formatIndex + 6;
}

// --- The field menu ---

void LBGraphicView::displayFieldMenuAtPoint(const QPointF& point, const QString& propertyName)
{
    // A menu still waiting to go goes now; the target just set stays.
    if (_fieldMenuButton)
        _fieldMenuButton->deleteLater();
    _fieldMenuButton = nullptr;
    if (!_windowController)
        return;
    const QVariantMap field = _fieldMenuRolloverDict.value(FieldDictionaryKey).toMap();
    QStringList titles;
    qint64 selected = 0;
    qint64 checkedPhone = -1;
    qint64 separator = -1;
    const QDateTime now = QDateTime::currentDateTime();
    auto phoneFormats = [&] {
        for (qint64 i = 0; i < PhoneFormatCount; ++i)
            titles.append(_windowController->phoneFormatStringAtIndex(i));
    };

    switch (fieldKind(field)) {
    case FieldKind::Identity: {
        selected = indexValue(field, IdentityIndexKey);
        const qint64 phoneIndex = indexValue(field, PhoneIndexKey);
        if (propertyName == AddressProperty || propertyName == SingleAddressProperty
            || propertyName == EmailProperty) {
            titles = fieldNames({"Primary", "1st", "2nd", "Home", "Work"});
        } else if (propertyName == PhoneProperty) {
            titles = fieldNames({"Primary", "1st", "2nd", "Work", "Home", "Mobile", "Main", "Pager",
                                 "Home Fax", "Work Fax"});
            phoneFormats();
            separator = 10;
            checkedPhone = 11 + phoneIndex;
        } else if (propertyName == FaxProperty) {
            titles = fieldNames({"Primary", "Home", "Work"});
            phoneFormats();
            separator = 3;
            checkedPhone = 4 + phoneIndex;
        } else {
            return; // no menu for any other property
        }
        break;
    }
    case FieldKind::Date: {
        for (qint64 position = 0; position <= 28; ++position) {
            const qint64 format = dateFormatIndexForMenuIndex(position);
            const QString date = _windowController->dateStringForDate(now, format);
            static const std::pair<qint64, const char*> labels[] = {
                {0, "%@ (full system date)"},   {1, "%@ (full system date without year)"},
                {2, "%@ (long system date)"},   {3, "%@ (long system date without year)"},
                {4, "%@ (medium system date)"}, {5, "%@ (medium system date without year)"},
                {6, "%@ (short system date)"},  {7, "%@ (short system date without year)"},
                {27, "%@ (day of year)"},       {28, "%@ (day/year)"},
            };
            QString title = date;
            for (const auto& [labelled, label] : labels) {
                if (labelled == position)
                    title = dateTitle(label, date);
            }
            titles.append(title);
        }
        selected = menuIndexForDateFormatIndex(indexValue(field, DateIndexKey));
        break;
    }
    case FieldKind::Time: {
        for (qint64 format = 0; format <= 4; ++format) {
            const QString time = _windowController->timeStringForDate(now, format);
            if (format == 0)
                titles.append(dateTitle("%@ (system format)", time));
            else if (format >= 3)
                titles.append(dateTitle("%@ (24 hour)", time));
            else
                titles.append(time);
        }
        selected = indexValue(field, TimeIndexKey);
        break;
    }
    case FieldKind::Phone:
        phoneFormats();
        selected = indexValue(field, PhoneIndexKey);
        break;
    case FieldKind::None: return;
    }

    QMenu* menu = menuWithTitles(titles, separator, this);
    QAction* selectedAction = actionAtPosition(menu, selected);
    checkAction(selectedAction);
    if (checkedPhone >= 0)
        checkAction(actionAtPosition(menu, checkedPhone));
    _fieldMenuButton = menu;
    popUpTextMenu(menu, point, selectedAction);
}

// --- The address-block menu ---

bool LBGraphicView::textTabUnderPoint(const QPointF& point)
{
    if (_selectedGraphics.size() != 1)
        return false;
    const LBGraphicPtr& graphic = _selectedGraphics.first();
    auto* box = dynamic_cast<LBTextArea*>(graphic.get());
    if (!box || !box->isTextBox() || box->textBoxType() < LBTextArea::ReturnAddressBox)
        return false;
    const QRectF tab = box->textTabBounds();
    bool hit = tab.contains(point);
    if (!hit && box->rotation() != 0.0) {
        const QPointF center = box->bounds().center();
        hit = box->rotatedPathFromRect(tab, &center).containsPoint(point);
    }
    if (!hit)
        return false;
    _targetTextObject = graphic;
    displayTextTypeMenuAtPoint(tab.topLeft());
    return true;
}

void LBGraphicView::displayTextTypeMenuAtPoint(const QPointF& point)
{
    if (_textTypeMenuButton)
        _textTypeMenuButton->deleteLater();
    const LBTextArea* box = targetTextObject();
    const bool myFields = box && box->textBoxType() == LBTextArea::ReturnAddressBox;
    QMenu* menu = menuWithTitles(addressBlockTitles(myFields), AddressSeparatorPosition, this);
    _textTypeMenuButton = menu;
    popUpTextMenu(menu, point, nullptr);
}

// --- Showing, choosing, letting go ---

void LBGraphicView::popUpTextMenu(QMenu* menu, const QPointF& atPoint, QAction* atAction)
{
    connect(menu, &QMenu::triggered, this, [this, menu](QAction* action) {
        textPopupMenuAction(menu, action->data().toLongLong());
    });
    // Chosen or not, the menu goes once it has hidden (after its choice is handled), unless
    // another has taken its place meanwhile: the cell sees to it.
    auto* cell = new LBBlankPopUpButtonCell(menu);
    cell->setGraphicView(this);
    cell->setMenu(menu);
    if (showsTextPopupMenus)
        cell->popUp(mapToGlobal(convertToWidget(atPoint)).toPoint(), atAction);
    else
        cell->becomeOwnersPopUp();
}

void LBGraphicView::removeTextPopupButton()
{
    if (_fieldMenuButton) {
        _fieldMenuButton->deleteLater();
        _fieldMenuButton = nullptr;
        _targetTextObject.reset();
        _fieldMenuRolloverDict.clear();
    }
    if (_textTypeMenuButton) {
        _textTypeMenuButton->deleteLater();
        _textTypeMenuButton = nullptr;
    }
}

void LBGraphicView::textPopupMenuAction(QMenu* sender, qint64 position)
{
    LBTextArea* target = targetTextObject();
    if (sender && sender == _fieldMenuButton && target && target->contents()) {
        const Range range =
            platform::rangeFromString(_fieldMenuRolloverDict.value(FieldRangeKey).toString());
        const QVariantMap old = _fieldMenuRolloverDict.value(FieldDictionaryKey).toMap();
        QVariantMap field = old;
        const QString property = field.value(PropertyNameKey).toString();
        switch (fieldKind(field)) {
        case FieldKind::Identity:
            if (property == PhoneProperty && position >= 11)
                field.insert(PhoneIndexKey, position - 11);
            else if (property == FaxProperty && position >= 4)
                field.insert(PhoneIndexKey, position - 4);
            else
                field.insert(IdentityIndexKey, position);
            break;
        case FieldKind::Date:
            field.insert(DateIndexKey, dateFormatIndexForMenuIndex(position));
            break;
        case FieldKind::Time: field.insert(TimeIndexKey, position); break;
        case FieldKind::Phone: field.insert(PhoneIndexKey, position); break;
        case FieldKind::None: break;
        }
        // Only while the entry still describes the text: the range within it and the
        // same field over the whole range.
        platform::TextStorage& storage = *target->contents();
        Range run;
        const bool current =
            !range.isEmpty() && range.end() <= storage.length()
            && storage.attributedString().attribute(LBQFieldAttributeName, range.location, &run,
                                                    Range(0, storage.length()))
                   == QVariant(old)
            && run.location <= range.location && run.end() >= range.end();
        if (current) {
            storage.removeAttribute(LBQFieldAttributeName, range);
            storage.addAttribute(LBQFieldAttributeName, field, range);
            target->resetFieldRolloverArray();
        }
    } else if (sender && sender == _textTypeMenuButton && target && target->contents()
               && _windowController) {
        const QAction* item = actionAtPosition(sender, position);
        std::optional<AttributedString> block =
            item ? _windowController->preformattedAddressStringForFieldStr(
                item->text(), target->textBoxType() == LBTextArea::ReturnAddressBox)
                 : std::nullopt;
        if (block) {
            // The block takes the look of the text it replaces.
            const platform::TextStorage& storage = *target->contents();
            QFont font = AttributedString::defaultFont();
            if (storage.length() > 0) {
                const QVariantMap first = storage.attributedString().attributesAtIndex(0);
                const Range whole(0, block->length());
                for (const QString& name :
                     {platform::FontAttributeName, platform::ParagraphStyleAttributeName,
                      platform::ForegroundColorAttributeName}) {
                    if (first.contains(name))
                        block->addAttribute(name, first.value(name), whole);
                }
                if (first.contains(platform::FontAttributeName))
                    font = first.value(platform::FontAttributeName).value<QFont>();
            }
            const double required =
                3.0 * QFontMetricsF(font).lineSpacing() + block->size().height();
            target->setContents(*block);
            QRectF bounds = target->bounds();
            if (bounds.height() < required) {
                bounds.setHeight(required);
                target->setBounds(bounds);
            }
        }
    }
    removeTextPopupButton();
}

// --- The click on a field's run ---

bool LBGraphicView::handleFieldClick(const LBGraphicPtr& g, const QPointF& point)
{
    auto* box = dynamic_cast<LBTextArea*>(g.get());
    if (!box || g->locked() || !(g->isTextBox() || g->isShapeWithText()))
        return false;
    const std::optional<QList<QVariantMap>> entries = box->fieldRolloverArray();
    if (!entries)
        return false;
    const QSizeF delta = box->blockAlignmentDelta();
    const QPointF offset = g->bounds().topLeft() + QPointF(delta.width(), delta.height());
    for (const QVariantMap& entry : *entries) {
        for (const QVariant& rectText : entry.value(RolloverRectsKey).toList()) {
            const QRectF rect = platform::rectFromString(rectText.toString()).translated(offset);
            if (!rect.contains(point))
                continue;
            const QVariantMap field = entry.value(FieldDictionaryKey).toMap();
            if (fieldKind(field) != FieldKind::None) {
                setFieldMenuTarget(g, entry);
                displayFieldMenuAtPoint(rect.topLeft(), field.value(PropertyNameKey).toString());
            } else if (field.contains(QStringLiteral("IncludeZeros")) && _windowController) {
                _windowController->customizeCounterField(entry, box);
            }
            return true;
        }
    }
    return false;
}
