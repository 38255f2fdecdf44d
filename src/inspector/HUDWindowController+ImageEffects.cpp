// The Effects pane: the effects of the selected pictures, their parameters and the shape
// of a mask effect, with the masks library after the built-in shapes.

#include "canvas/LBGraphicView.h"
#include "graphics/EffectEntry.h"
#include "inspector/HUDMasksLibrary.h"
#include "inspector/HUDPaneControls.h"
#include "inspector/HUDPaneViews.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/drawing/Bundle.h"
#include "platform/ui/ColorWell.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

constexpr int PerspectiveEffect = 32;
constexpr int FirstLibraryMaskTag = 8;
const QString bulletPrefix = QStringLiteral("\u2022 ");

QString text(const char* key, const char* table)
{
    return platform::LocalizedString(QLatin1String(key), QLatin1String(table));
}

QIcon namedIcon(const QString& name)
{
    const QPixmap pixmap = platform::Bundle().pixmapNamed(name, 2.0);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

// The built-in mask shapes: title key in "HUD Mask Names" and picture, by tag.
struct MaskShape
{
    const char* title;
    const char* image;
};
constexpr std::array<MaskShape, 8> maskShapes = {{
    {"Oval", "MaskOval"},
    {"Rectangle", "MaskRectangle"},
    {"Circle", "MaskCircle"},
    {"Square", "MaskSquare"},
    {"Diamond", "MaskDiamond"},
    {"Rounded Rectangle", "MaskRoundRect"},
    {"Triangle", "MaskTriangle"},
    {"Right Triangle", "MaskRightTriangle"},
}};

void addMaskShape(HUDPopUpButton* popup, int tag)
{
    const MaskShape& shape = maskShapes[std::size_t(tag)];
    hudpopup::addItem(popup, text(shape.title, "HUD Mask Names"), tag,
                      namedIcon(QLatin1String(shape.image)));
}

bool contains(std::initializer_list<int> kinds, int kind)
{
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// The index of the effect a kind has on the graphic (its last one); -1 for none.
qint64 effectIndex(const LBGraphic& graphic, int kind)
{
    return graphic.indexOfEffect(kind);
}

bool hasEffectsBesidesPerspective(const LBGraphic& graphic)
{
    for (qint64 i = 0; i < graphic.numEffects(); ++i)
        if (effectentry::kind(graphic.effectDictionaryAtIndex(i)) != PerspectiveEffect)
            return true;
    return false;
}

// The index of the effect being tried: the last, or the one before a perspective effect
// at the end; -1 when there is none besides the perspective effect.
qint64 triedEffectIndex(const LBGraphic& graphic)
{
    qint64 last = graphic.numEffects() - 1;
    if (last >= 0 && effectentry::kind(graphic.effectDictionaryAtIndex(last)) == PerspectiveEffect)
        --last;
    return last;
}

QString plainTitle(const QString& title)
{
    return title.startsWith(bulletPrefix) ? title.mid(bulletPrefix.size()) : title;
}

QPushButton* textButton(const QString& title, QWidget* parent)
{
    auto* button = new QPushButton(title, parent);
    installHUDStyle(button);
    return button;
}

} // namespace

// --- Tables ---

QList<int> HUDImageEffectsTools::effectKinds()
{
    QList<int> kinds{0};
    for (int kind = 1; kind <= 35; ++kind)
        if (kind != 23 && kind != PerspectiveEffect) // a pass-through; the Dimensions pane's
            kinds.append(kind);
    return kinds;
}

QString HUDImageEffectsTools::effectTitle(int kind)
{
    static const QList<const char*> titles = {
        "None",
        "Invert Colors",
        "Sepia",
        "Tint",
        "Posterize",
        "Circle Splash",
        "Crystallize",
        "Edge Work",
        "Bump",
        "Dot Screen",
        "Reduce Noise",
        "Motion Blur",
        "Zoom Blur",
        "Circular Wrap",
        "Hole",
        "Pinch",
        "Twirl",
        "Vortex",
        "Pointillize",
        "Pixellate",
        "Bloom",
        "Gloom",
        "Edges",
        "",
        "Blur",
        "Op Tile",
        "Kaleidoscope",
        "Triangle Tile",
        "Circular Screen",
        "Star Shine",
        "Halo",
        "White Point",
        "Perspective",
        "Vignette",
        "Mask",
        "Soft Focus",
    };
    return kind >= 0 && kind < titles.size() ? text(titles.at(kind), "HUD Image Effect Names")
                                             : QString();
}

int HUDImageEffectsTools::windowHeightForEffect(int kind)
{
    if (contains({0, 1, 10}, kind))
        return 60;
    if (contains({2, 4, 5, 6, 12, 14, 18, 19, 22, 24}, kind))
        return 91;
    if (contains({31, 32}, kind))
        return 96;
    if (contains({8, 11, 13, 15, 16, 17, 20, 21, 26, 27, 28}, kind))
        return 114;
    if (contains({3, 7}, kind))
        return 122;
    if (contains({9, 25}, kind))
        return 137;
    if (contains({33, 34, 35}, kind))
        return 172;
    if (contains({29, 30}, kind))
        return 212;
    return 0;
}

std::array<QString, 5> HUDImageEffectsTools::labelKeysForEffect(int kind)
{
    const auto row = [](std::initializer_list<const char*> keys) {
        std::array<QString, 5> labels;
        std::size_t i = 0;
        for (const char* key : keys)
            labels[i++] = QLatin1String(key);
        return labels;
    };
    if (contains({2, 3, 4, 22}, kind))
        return row({"Intensity:"});
    if (contains({5, 6, 14, 18, 19}, kind))
        return row({"Size:"});
    if (kind == 7)
        return row({"Resolution:"});
    if (kind == 8)
        return row({"Size:", "Height:"});
    if (kind == 9)
        return row({"Size:", "Sharpness:", "Angle:"});
    if (kind == 11)
        return row({"Amount:", "Angle:"});
    if (contains({12, 24}, kind))
        return row({"Amount:"});
    if (contains({13, 16, 17, 27}, kind))
        return row({"Size:", "Angle:"});
    if (kind == 15)
        return row({"Size:", "Scale:"});
    if (contains({20, 21}, kind))
        return row({"Size:", "Intensity:"});
    if (kind == 25)
        return row({"Size:", "Rotate:", "Zoom:"});
    if (kind == 26)
        return row({"Count:", "Angle:"});
    if (kind == 28)
        return row({"Size:", "Sharpness:"});
    if (kind == 29)
        return row({"Size:", "Ray Length:", "Ray Angle:", "Ray Opacity:", "Ray Width:"});
    if (kind == 30)
        return row({"Size:", "Halo Width:", "Halo Overlap:", "Intensity:", "Contrast:"});
    if (contains({33, 34}, kind))
        return row({"Size:", "Softness:"});
    if (kind == 35)
        return row({"Size:", "Blur:"});
    return {};
}

std::array<bool, 6> HUDImageEffectsTools::slidersShownForEffect(int kind)
{
    return {
        !contains({0, 1, 10, 31, 32}, kind),
        contains({8, 9, 11, 13, 15, 16, 17, 20, 21, 25, 26, 27, 28, 29, 30, 33, 34, 35}, kind),
        contains({9, 25, 29, 30}, kind),
        contains({29, 30}, kind),
        contains({29, 30}, kind),
        false,
    };
}

bool HUDImageEffectsTools::colorShownForEffect(int kind)
{
    return contains({3, 7, 29, 30}, kind);
}

bool HUDImageEffectsTools::hasEffectLocation(int kind)
{
    return contains({5, 8, 12, 14, 15, 16, 17, 26, 27, 28, 29, 30, 33, 34, 35}, kind);
}

qint64 HUDImageEffectsTools::field1Value(int kind, qint64 modifier1)
{
    if (contains({8, 16, 17}, kind))
        return modifier1 - 50;
    if (contains({25, 26, 27}, kind))
        return qint64(std::trunc(double(modifier1) * 3.6 - 180.0)); // degrees
    return modifier1;
}

std::pair<qint64, qint64> HUDImageEffectsTools::maskDefaults(int kind, int shape)
{
    const bool oval = shape == 0 || shape == 2;
    switch (kind) {
    case 33: return oval ? std::pair<qint64, qint64>{65, 50} : std::pair<qint64, qint64>{90, 20};
    case 34: return oval ? std::pair<qint64, qint64>{60, 20} : std::pair<qint64, qint64>{85, 15};
    default: return {35, 30};
    }
}

int HUDImageEffectsTools::shownEffectKind(const LBGraphic& graphic)
{
    const qint64 index = triedEffectIndex(graphic);
    return index >= 0 ? int(effectentry::kind(graphic.effectDictionaryAtIndex(index))) : 0;
}

bool HUDImageEffectsTools::validateMenuItem(const QAction* item)
{
    return item->data().toInt() != 9999;
}

// --- The view ---

HUDImageEffectsTools::HUDImageEffectsTools(HUDWindowController& controller)
    : _controller(controller)
{
    resize(262, 40);
    _imageEffectPopup = new HUDPopUpButton(false, this);
    _imageEffectPopup->setGeometry(8, 10, 138, 20);
    for (int kind : effectKinds()) {
        hudpopup::addItem(_imageEffectPopup, effectTitle(kind), kind);
        if (kind == 0)
            hudpopup::addSeparator(_imageEffectPopup);
    }
    connect(_imageEffectPopup, &HUDPopUpButton::activated, this,
            [this] { action(_imageEffectPopup); });
    _addEffectButton = textButton(text("Add", "HUD Tools"), this);
    _addEffectButton->setGeometry(150, 10, 50, 20);
    _removeEffectButton = textButton(text("Remove", "HUD Tools"), this);
    _removeEffectButton->setGeometry(204, 10, 52, 20);
    _dividerLine = new QFrame(this);
    _dividerLine->setFrameShape(QFrame::HLine);
    _dividerLine->setStyleSheet(QStringLiteral("color: rgba(255, 255, 255, 60)"));
    _dividerLine->setGeometry(8, 36, 246, 2);

    _imageEffectPopup0View = new QWidget(this);
    _imageEffectPopup0View->setGeometry(0, 42, 262, 26);
    _imageEffectPopup0 = new HUDImagePopUpButton(_imageEffectPopup0View);
    for (int tag = 0; tag < 4; ++tag)
        hudpopup::addItem(_imageEffectPopup0,
                          text(maskShapes[std::size_t(tag)].title, "HUD Mask Names"), tag);
    connect(_imageEffectPopup0, &HUDPopUpButton::activated, this,
            [this] { action(_imageEffectPopup0); });
    _maskEffectLeftButton = textButton(QStringLiteral("\u25C0"), _imageEffectPopup0View);
    _maskEffectLeftButton->setGeometry(8, 3, 22, 20);
    _maskEffectRightButton = textButton(QStringLiteral("\u25B6"), _imageEffectPopup0View);
    _maskEffectRightButton->setGeometry(232, 3, 22, 20);
    _imageEffectPopup0->setGeometry(34, 3, 194, 20);
    // Below the mask's two sliders.
    _maskEffectReverseButton = textButton(text("Reverse", "HUD Tools"), this);
    _maskEffectReverseButton->setGeometry(90, 44 + 32 + 2 * 23 + 6, 76, 20);
    _maskEffectRotateButton = textButton(text("Rotate", "HUD Tools"), this);
    _maskEffectRotateButton->setGeometry(172, 44 + 32 + 2 * 23 + 6, 76, 20);

    for (std::size_t k = 0; k < _imageEffectSliders.size(); ++k) {
        auto* row = new QWidget(this);
        row->resize(262, 20);
        if (k < _imageEffectLabels.size()) {
            _imageEffectLabels[k] = new HUDLabel(QString(), row);
            _imageEffectLabels[k]->setGeometry(4, 2, 82, 16);
            _imageEffectLabels[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        auto* slider = new HUDSlider(row);
        slider->setOrientation(Qt::Horizontal);
        slider->setRange(0, 100);
        slider->setGeometry(90, 2, 128, 16);
        connect(slider, &QSlider::valueChanged, this, [this, slider] { action(slider); });
        controller.groupDragOfControl(slider);
        _imageEffectFields[k] = new HUDLabel(QString(), row);
        _imageEffectFields[k]->setGeometry(220, 2, 36, 16);
        _imageEffectSliders[k] = slider;
        _imageEffectSliderViews[k] = row;
        row->hide();
    }
    _imageEffectColorView = new QWidget(this);
    _imageEffectColorView->resize(262, 26);
    auto* colorLabel =
        new HUDLabel(text("Color:", "HUD Image Effect Labels"), _imageEffectColorView);
    colorLabel->setGeometry(4, 4, 82, 16);
    colorLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    _imageEffectColor = new platform::ColorWell(_imageEffectColorView);
    _imageEffectColor->setGeometry(90, 2, 40, 22);
    connect(_imageEffectColor, &platform::ColorWell::colorChanged, this,
            [this] { action(_imageEffectColor); });

    for (QPushButton* button :
         {_addEffectButton, _removeEffectButton, _maskEffectLeftButton, _maskEffectRightButton,
          _maskEffectReverseButton, _maskEffectRotateButton})
        connect(button, &QPushButton::clicked, this, [this, button] { action(button); });
    for (HUDPopUpButton* popup :
         {_imageEffectPopup, static_cast<HUDPopUpButton*>(_imageEffectPopup0)})
        connect(popup->itemMenu(), &QMenu::aboutToShow, this, [popup] {
            for (QAction* item : hudpopup::items(popup))
                if (!item->isSeparator())
                    item->setEnabled(validateMenuItem(item));
        });
    updateImageEffectModifierNamesForEffect(0);
}

int HUDImageEffectsTools::selectedEffectKind() const
{
    return std::max(0, hudpopup::selectedTag(_imageEffectPopup));
}

void HUDImageEffectsTools::loadMasksForEffect(int kind)
{
    if (!_masksLoaded) {
        _masksLoaded = true;
        HUDMasksLibrary::masks(); // read (or its failure reported) once
        const QList<QAction*> items = hudpopup::items(_imageEffectPopup0);
        for (int tag = 0; tag < 4 && tag < items.size(); ++tag)
            items.at(tag)->setIcon(namedIcon(QLatin1String(maskShapes[std::size_t(tag)].image)));
    }
    const QList<QAction*> items = hudpopup::items(_imageEffectPopup0);
    const auto trimToFirstFour = [&] {
        for (qsizetype i = items.size() - 1; i >= 4; --i) {
            if (_imageEffectPopup0->selectedItem() == items.at(i))
                _imageEffectPopup0->selectItem(items.at(0));
            _imageEffectPopup0->itemMenu()->removeAction(items.at(i));
            delete items.at(i);
        }
    };
    if (kind == 35) {
        trimToFirstFour();
        return;
    }
    if (kind != 33 && kind != 34)
        return;
    // Rebuilt unless every built-in shape and every library mask is there.
    const QList<HUDMaskRecord>& masks = HUDMasksLibrary::masks();
    bool complete = true;
    for (int tag = 0; tag < FirstLibraryMaskTag + masks.size(); ++tag)
        complete = complete && hudpopup::itemWithTag(_imageEffectPopup0, tag);
    if (complete)
        return;
    const int selected = hudpopup::selectedTag(_imageEffectPopup0);
    trimToFirstFour();
    for (int tag = 4; tag < FirstLibraryMaskTag; ++tag)
        addMaskShape(_imageEffectPopup0, tag);
    for (qsizetype i = 0; i < masks.size(); ++i) {
        if (i == 0 || i == 4 || i == 44)
            hudpopup::addSeparator(_imageEffectPopup0);
        const HUDMaskRecord& mask = masks.at(i);
        hudpopup::addItem(_imageEffectPopup0, mask.name, FirstLibraryMaskTag + int(i),
                          mask.thumbnail.isNull() ? QIcon()
                                                  : QIcon(QPixmap::fromImage(mask.thumbnail)));
    }
    if (selected >= 0)
        hudpopup::selectItemWithTag(_imageEffectPopup0, selected);
}

void HUDImageEffectsTools::setImageEffectsWindowHeightForEffect(int kind, bool animate)
{
    const int height = windowHeightForEffect(kind);
    if (height == 0)
        return;
    _controller.setWindowHeightForPane(height - 20, animate);
    layoutRows(kind);
}

void HUDImageEffectsTools::layoutRows(int kind)
{
    // Rows from the top: the mask shape's row first for mask kinds.
    const int d = isMaskEffect(kind) ? 32 : 0;
    for (std::size_t k = 0; k < _imageEffectSliderViews.size(); ++k)
        _imageEffectSliderViews[k]->move(0, 44 + d + 23 * int(k));
    int shownRows = 0;
    const std::array<bool, 6> shown = slidersShownForEffect(kind);
    for (bool row : shown)
        shownRows += row ? 1 : 0;
    _imageEffectColorView->move(0, 44 + d + 23 * shownRows);
}

void HUDImageEffectsTools::updateImageEffectModifierNamesForEffect(int kind)
{
    const std::array<QString, 5> labels = labelKeysForEffect(kind);
    for (std::size_t k = 0; k < labels.size(); ++k)
        if (!labels[k].isEmpty())
            _imageEffectLabels[k]->setText(
                platform::LocalizedString(labels[k], QStringLiteral("HUD Image Effect Labels")));
    const std::array<bool, 6> shown = slidersShownForEffect(kind);
    for (std::size_t k = 0; k < shown.size(); ++k)
        _imageEffectSliderViews[k]->setVisible(shown[k]);
    _imageEffectColorView->setVisible(colorShownForEffect(kind));
    _imageEffectPopup0View->setVisible(isMaskEffect(kind));
    _maskEffectReverseButton->setVisible(isMaskEffect(kind));
    _maskEffectRotateButton->setVisible(isMaskEffect(kind));
    _addEffectButton->setVisible(kind != 0);
    _removeEffectButton->setVisible(kind != 0);
    _dividerLine->setVisible(!contains({0, 1, 10}, kind));
    layoutRows(kind);
    QWidget::update();
}

void HUDImageEffectsTools::updateImageEffectControlsForGraphic(const LBGraphic& graphic)
{
    const int selected = selectedEffectKind();
    std::array<qint64, 6> modifiers{};
    int kind = 0;
    QColor color;
    if (hasEffectsBesidesPerspective(graphic)) {
        const QVariantMap entry = graphic.effectDictionaryAtIndex(effectIndex(graphic, selected));
        kind = int(effectentry::kind(entry));
        for (int m = 0; m < 6; ++m)
            modifiers[std::size_t(m)] = effectentry::modifier(entry, m);
        color = effectentry::color(entry);
    }
    const bool maskShown = !_imageEffectPopup0View->isHidden();
    for (std::size_t k = 0; k < 6; ++k) {
        if (k == 5 && maskShown)
            continue;
        const QSignalBlocker block(_imageEffectSliders[k]);
        _imageEffectSliders[k]->setValue(int(modifiers[k]));
        _imageEffectFields[k]->setText(QString::number(modifiers[k]));
    }
    _imageEffectFields[1]->setText(QString::number(field1Value(kind, modifiers[1])));
    if (color.isValid())
        _imageEffectColor->setColor(color);
    if (maskShown)
        hudpopup::selectItemWithTag(_imageEffectPopup0, int(modifiers[5]));

    // A bullet marks the kinds the picture has, except the one only being tried.
    const QList<QAction*> items = hudpopup::items(_imageEffectPopup);
    const bool trying = !_effectWasAdded && _controller.removeEffectWhenSwitching();
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        QAction* item = items.at(i);
        if (item->isSeparator())
            continue;
        item->setText(plainTitle(item->text()));
        const int tag = item->data().toInt();
        if (tag != 0 && effectIndex(graphic, tag) >= 0
            && !(item == _imageEffectPopup->selectedItem() && trying))
            item->setText(bulletPrefix + item->text());
    }
    _imageEffectPopup->update();
    initializeEffectLocationInGraphic(_controller.toolTag()
                                      == HUDWindowController::ImageEffectsTools);
}

void HUDImageEffectsTools::initializeEffectLocationInGraphic(bool paneShown)
{
    const int kind = selectedEffectKind();
    // Which knobs show is the palette's state, not the document's: no undo step.
    platform::UndoManager* undo = _controller.undoManager();
    if (undo)
        undo->disableUndoRegistration();
    for (const LBGraphicPtr& graphic : _controller.selectedGraphics()) {
        const qint64 index = effectIndex(*graphic, kind);
        const bool knobs = paneShown && hasEffectLocation(kind) && index >= 0;
        const qint64 type = knobs ? 1 : 0;
        const qint64 forIndex = knobs ? index : 0;
        if (graphic->effectLocationKnobType() == type
            && graphic->effectIndexForEffectKnob() == forIndex)
            continue;
        graphic->setEffectLocationKnobType(type, forIndex);
        graphic->refreshGraphic(false);
    }
    if (undo)
        undo->enableUndoRegistration();
}

void HUDImageEffectsTools::update()
{
    if (_controller.toolTag() != HUDWindowController::ImageEffectsTools
        || !_controller.graphicView() || _controller.selectedGraphics().isEmpty()
        || _controller.ignoreUpdates())
        return;
    const LBGraphic& graphic = *_controller.selectedGraphics().first();
    const int kind = shownEffectKind(graphic);
    loadMasksForEffect(kind);
    hudpopup::selectItemWithTag(_imageEffectPopup, kind);
    updateImageEffectModifierNamesForEffect(kind);
    updateImageEffectControlsForGraphic(graphic);
    setImageEffectsWindowHeightForEffect(kind, false);
}

void HUDImageEffectsTools::applyNewSliderValue(int slider)
{
    const int kind = selectedEffectKind();
    const qint64 value = _imageEffectSliders[std::size_t(slider)]->value();
    const QString key = effectentry::modifierKey(slider);
    bool first = true;
    _controller.applyToSelection(
        [&](LBGraphic& graphic) {
            graphic.setEffectModifier(value, key, effectIndex(graphic, kind), false);
            if (first)
                updateImageEffectControlsForGraphic(graphic);
            first = false;
        },
        QStringLiteral("Image Effect"));
}

void HUDImageEffectsTools::effectChosen(int kind)
{
    // The flags describe the effect shown before the choice, for every graphic alike: read
    // once, so a second graphic does not lose an effect kept on the first.
    const bool removeTried = !_effectWasAdded && _controller.removeEffectWhenSwitching();
    bool first = true;
    bool wasAdded = false;
    _controller.applyToSelection(
        [&](LBGraphic& graphic) {
            if (kind == 0) {
                for (qint64 i = graphic.numEffects() - 1; i >= 0; --i)
                    if (effectentry::kind(graphic.effectDictionaryAtIndex(i)) != PerspectiveEffect)
                        graphic.removeEffectAtIndex(i, false);
            } else {
                if (removeTried) {
                    const qint64 tried = triedEffectIndex(graphic);
                    if (tried >= 0)
                        graphic.removeEffectAtIndex(tried, false);
                }
                if (effectIndex(graphic, kind) < 0) {
                    const qint64 m = LBGraphic::DefaultEffectModifier;
                    const QPointF centre(LBGraphic::DefaultEffectLocationX, 0.0);
                    graphic.addEffect(kind, m, m, m, m, m, m, centre, centre, centre, centre,
                                      QColor(), false);
                } else if (first) {
                    wasAdded = true; // the first graphic has it already: it is kept
                }
            }
            if (first) {
                setImageEffectsWindowHeightForEffect(kind, true);
                loadMasksForEffect(kind);
            }
            first = false;
        },
        QStringLiteral("Image Effect"));
    _effectWasAdded = wasAdded;
    _controller.setRemoveEffectWhenSwitching(true);
    updateImageEffectModifierNamesForEffect(kind);
}

void HUDImageEffectsTools::chooseMask(int tag)
{
    const int kind = selectedEffectKind();
    const QList<HUDMaskRecord>& masks = HUDMasksLibrary::masks();
    _controller.applyToSelection(
        [&](LBGraphic& graphic) {
            const qint64 index = effectIndex(graphic, kind);
            if (index < 0)
                return;
            qint64 size = 0;
            qint64 softness = 0;
            if (tag >= FirstLibraryMaskTag && tag - FirstLibraryMaskTag < masks.size()) {
                const HUDMaskRecord& mask = masks.at(tag - FirstLibraryMaskTag);
                graphic.setMaskImage(mask.picture);
                size = 100;
                softness = mask.defaultSoftness;
            } else {
                graphic.setMaskImage(QImage());
                std::tie(size, softness) = maskDefaults(kind, tag);
            }
            graphic.setEffectModifier(size, effectentry::modifierKey(0), index, false);
            graphic.setEffectModifier(softness, effectentry::modifierKey(1), index, false);
            graphic.setEffectModifier(tag, effectentry::modifierKey(5), index, false);
        },
        QStringLiteral("Image Effect"));
}

void HUDImageEffectsTools::moveMaskSelection(int step)
{
    const QList<QAction*> items = hudpopup::items(_imageEffectPopup0);
    const qsizetype count = items.size();
    if (count == 0)
        return;
    qsizetype i = std::max<qsizetype>(0, items.indexOf(_imageEffectPopup0->selectedItem()));
    const auto next = [&](qsizetype at) { return (at + step + count) % count; };
    i = next(i);
    if (items.at(i)->isSeparator())
        i = next(i);
    _imageEffectPopup0->selectItem(items.at(i));
    chooseMask(items.at(i)->data().toInt());
}

void HUDImageEffectsTools::action(QObject* sender)
{
    _controller.nameUndoStep(QStringLiteral("Image Effect"));
    for (std::size_t k = 0; k < _imageEffectSliders.size(); ++k)
        if (sender == _imageEffectSliders[k]) {
            applyNewSliderValue(int(k));
            return;
        }
    // The palette asks for a kind with an item of its own (the mask effect when a mask is
    // to be chosen on the canvas).
    if (auto* item = qobject_cast<QAction*>(sender); item && !item->isSeparator()) {
        hudpopup::selectItemWithTag(_imageEffectPopup, item->data().toInt());
        sender = _imageEffectPopup;
    }
    const int kind = selectedEffectKind();
    if (sender == _imageEffectPopup) {
        effectChosen(kind);
    } else if (sender == _addEffectButton) {
        const bool another = (kind == 29 || kind == 30) && _imageEffectPopup->selectedItem()
                             && _imageEffectPopup->selectedItem()->text().contains(QChar(0x2022));
        if (another) {
            std::array<qint64, 6> m{};
            for (std::size_t k = 0; k < m.size(); ++k)
                m[k] = _imageEffectSliders[k]->value();
            const QPointF centre(LBGraphic::DefaultEffectLocationX, 0.0);
            _controller.applyToSelection(
                [&](LBGraphic& graphic) {
                    graphic.addEffect(kind, m[0], m[1], m[2], m[3], m[4], m[5], centre, centre,
                                      centre, centre, QColor(), false);
                },
                QStringLiteral("Image Effect"));
        }
        _effectWasAdded = true;
        _controller.setRemoveEffectWhenSwitching(false);
    } else if (sender == _removeEffectButton) {
        bool remains = false;
        _controller.applyToSelection(
            [&](LBGraphic& graphic) {
                graphic.removeEffectAtIndex(effectIndex(graphic, kind), true);
                remains = remains || effectIndex(graphic, kind) >= 0;
            },
            QStringLiteral("Image Effect"));
        _effectWasAdded = (kind == 29 || kind == 30) && remains;
        _controller.setRemoveEffectWhenSwitching(false);
    } else if (sender == _imageEffectColor) {
        const QColor color = _imageEffectColor->color();
        _controller.applyToSelection(
            [&](LBGraphic& graphic) {
                graphic.setEffectColor(color, effectIndex(graphic, kind), false);
            },
            QStringLiteral("Image Effect"));
    } else if (sender == _imageEffectPopup0) {
        chooseMask(hudpopup::selectedTag(_imageEffectPopup0));
    } else if (sender == _maskEffectLeftButton || sender == _maskEffectRightButton) {
        moveMaskSelection(sender == _maskEffectLeftButton ? -1 : 1);
    } else if (sender == _maskEffectReverseButton || sender == _maskEffectRotateButton) {
        const bool reverse = sender == _maskEffectReverseButton;
        const QString key = effectentry::modifierKey(reverse ? 2 : 3);
        _controller.applyToSelection(
            [&](LBGraphic& graphic) {
                const qint64 index = effectIndex(graphic, kind);
                if (index < 0)
                    return;
                const QVariantMap entry = graphic.effectDictionaryAtIndex(index);
                qint64 value = 1;
                if (entry.contains(key)) {
                    const qint64 old = effectentry::modifier(entry, reverse ? 2 : 3);
                    value = reverse ? (old == 0 ? 1 : 0) : (old + 1) % 4;
                }
                graphic.setEffectModifier(value, key, index, false);
            },
            QStringLiteral("Image Effect"));
    } else {
        return;
    }
    if (!_controller.selectedGraphics().isEmpty())
        updateImageEffectControlsForGraphic(*_controller.selectedGraphics().first());
}

void HUDWindowController::registerImageEffectsTools()
{
    Pane pane = paneOfView<HUDImageEffectsTools>(ImageEffectsTools);
    // Leaving the pane hides the effect-location knobs.
    pane.paneLeft = [](HUDWindowController& controller) {
        if (auto* view = dynamic_cast<HUDImageEffectsTools*>(controller.currentTools()))
            view->initializeEffectLocationInGraphic(false);
    };
    registerPane(pane);
}
