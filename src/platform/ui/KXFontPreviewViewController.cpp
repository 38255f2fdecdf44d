#include "platform/ui/KXFontPreviewViewController.h"

#include "platform/text/FontManager.h"

#include <QBoxLayout>
#include <QFontMetricsF>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTimer>

#include <cmath>

namespace {

constexpr int FamilyRole = Qt::UserRole + 1;
constexpr qreal nameColumn = 150.0;

// A row: the family's name in a small plain font, then the preview text in the family.
class FamilyDelegate : public QStyledItemDelegate
{
public:
    FamilyDelegate(const KXFontPreviewViewController* controller, QObject* parent)
        : QStyledItemDelegate(parent), _controller(controller)
    {}

    QFont rowFont(const QModelIndex& index) const
    {
        QFont font = index.data(Qt::FontRole).value<QFont>();
        font.setPointSizeF(_controller->previewFontSize());
        return font;
    }

    QString rowText(const QModelIndex& index) const
    {
        const QString preview = _controller->previewString();
        return preview.isEmpty() ? index.data(FamilyRole).toString() : preview;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(option.rect, QColor(255, 255, 255, 60));
        QFont small = option.font;
        small.setPointSizeF(9);
        painter->setFont(small);
        painter->setPen(QColor(190, 190, 190));
        const QRectF nameRect(option.rect.left() + 6, option.rect.top(), nameColumn - 12,
                              option.rect.height());
        painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetricsF(small).elidedText(index.data(FamilyRole).toString(),
                                                          Qt::ElideRight, nameRect.width()));
        painter->setFont(rowFont(index));
        painter->setPen(Qt::white);
        const QRectF textRect(option.rect.left() + nameColumn, option.rect.top(),
                              option.rect.width() - nameColumn - 6, option.rect.height());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetricsF(rowFont(index))
                              .elidedText(rowText(index), Qt::ElideRight, textRect.width()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QFontMetricsF metrics(rowFont(index));
        return QSize(option.rect.width(), int(std::ceil(metrics.height())) + 6);
    }

private:
    const KXFontPreviewViewController* _controller;
};

} // namespace

KXFontPreviewViewController::KXFontPreviewViewController(QObject* parent) : QObject(parent)
{
    _view = new QWidget;
    _view->setObjectName(QStringLiteral("HUDFontPreviewView"));
    QPalette palette = _view->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 0, 0));
    palette.setColor(QPalette::Base, QColor(20, 20, 20, 200));
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::white);
    _view->setPalette(palette);

    _model = new QStandardItemModel(this);
    platform::FontManager& manager = platform::FontManager::sharedFontManager();
    for (const QString& family : manager.availableFontFamilies()) {
        auto* item = new QStandardItem;
        item->setEditable(false);
        item->setData(family, FamilyRole);
        QFont font;
        font.setFamilies({family});
        item->setData(font, Qt::FontRole);
        _model->appendRow(item);
    }

    _list = new QListView(_view);
    _list->setModel(_model);
    _list->setItemDelegate(new FamilyDelegate(this, _list));
    _list->setUniformItemSizes(true); // one height for every row: fast with many families
    _list->setSelectionMode(QAbstractItemView::SingleSelection);
    _list->setFrameShape(QFrame::NoFrame);
    _list->setPalette(palette);
    connect(_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    rowChosen(current.row());
            });

    auto* sizeLabel = new QLabel(_view);
    sizeLabel->setPalette(palette);
    _slider = new QSlider(Qt::Horizontal, _view);
    _slider->setRange(int(minimumPreviewSize), int(maximumPreviewSize));
    _slider->setValue(int(_previewFontSize));
    sizeLabel->setText(QString::number(_slider->value()));
    connect(_slider, &QSlider::valueChanged, this, [this, sizeLabel](int value) {
        sizeLabel->setText(QString::number(value));
        setPreviewFontSize(value);
    });

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 24, 0); // room for the owner's resize grip
    bottom->addWidget(_slider, 1);
    bottom->addWidget(sizeLabel);
    auto* layout = new QVBoxLayout(_view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(_list, 1);
    layout->addLayout(bottom);
}

KXFontPreviewViewController::~KXFontPreviewViewController()
{
    // Also out of the owner's widgets: its rows' delegate asks this controller for the
    // preview size and text, and a deferred scroll waits on its list.
    delete _view.data();
}

QWidget* KXFontPreviewViewController::view() const
{
    return _view;
}

std::optional<QFont> KXFontPreviewViewController::selectedFont() const
{
    if (!_selectedFont)
        return std::nullopt;
    QFont font = *_selectedFont;
    font.setPointSizeF(_previewFontSize);
    return font;
}

void KXFontPreviewViewController::setSelectedFont(const std::optional<QFont>& font)
{
    _selectedFont = font;
    if (font) {
        const int row = families().indexOf(platform::FontManager::familyOfFont(*font));
        {
            const QSignalBlocker blocker(_list->selectionModel());
            if (row >= 0) {
                _list->setCurrentIndex(_model->index(row, 0));
                _list->scrollTo(_model->index(row, 0), QAbstractItemView::PositionAtTop);
                // Again once the list is laid out at its size (a view just made is not).
                QTimer::singleShot(0, this, [this, row] {
                    if (_list)
                        _list->scrollTo(_model->index(row, 0),
                                        QAbstractItemView::PositionAtTop);
                });
            } else {
                _list->clearSelection();
            }
        }
        if (font->pointSizeF() > 0) {
            const QSignalBlocker blocker(_slider);
            _previewFontSize =
                std::clamp(font->pointSizeF(), minimumPreviewSize, maximumPreviewSize);
            _slider->setValue(int(std::lround(_previewFontSize)));
            refreshRows();
        }
    }
    Q_EMIT selectedFontChanged();
}

void KXFontPreviewViewController::setPreviewFontSize(double size)
{
    size = std::clamp(size, minimumPreviewSize, maximumPreviewSize);
    if (size == _previewFontSize)
        return;
    _previewFontSize = size;
    {
        const QSignalBlocker blocker(_slider);
        _slider->setValue(int(std::lround(size)));
    }
    refreshRows();
    Q_EMIT previewFontSizeChanged();
}

void KXFontPreviewViewController::setPreviewString(const QString& string)
{
    // One line of it: the rows are single lines.
    QString line = string;
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QChar(0x2029), QLatin1Char(' '));
    _previewString = line;
    _list->viewport()->update();
}

QStringList KXFontPreviewViewController::families() const
{
    QStringList list;
    for (int row = 0; row < _model->rowCount(); ++row)
        list.append(_model->item(row)->data(FamilyRole).toString());
    return list;
}

void KXFontPreviewViewController::selectFamilyAtRow(int row)
{
    _list->setCurrentIndex(_model->index(row, 0));
}

void KXFontPreviewViewController::rowChosen(int row)
{
    const QString family = _model->item(row)->data(FamilyRole).toString();
    platform::FontManager& manager = platform::FontManager::sharedFontManager();
    const QList<platform::FontManager::Member> members =
        manager.availableMembersOfFontFamily(family);
    // The family's regular face: upright and nearest to the normal weight.
    const platform::FontManager::Member* regular = nullptr;
    for (const auto& member : members)
        if (!regular
            || std::pair(member.italic, std::abs(member.weight - QFont::Normal))
                   < std::pair(regular->italic, std::abs(regular->weight - QFont::Normal)))
            regular = &member;
    std::optional<QFont> font =
        regular ? manager.fontWithFamily(family, regular->faceName, _previewFontSize)
                : std::nullopt;
    if (!font) {
        font = QFont();
        font->setFamilies({family});
    }
    _selectedFont = font;
    Q_EMIT selectedFontChanged();
}

void KXFontPreviewViewController::refreshRows()
{
    // Row heights follow the size.
    _list->reset();
    if (_selectedFont) {
        const int row = families().indexOf(platform::FontManager::familyOfFont(*_selectedFont));
        if (row >= 0) {
            const QSignalBlocker blocker(_list->selectionModel());
            _list->setCurrentIndex(_model->index(row, 0));
        }
    }
    _list->doItemsLayout();
}
