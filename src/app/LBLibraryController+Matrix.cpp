// The matrix: columns for the width, rows for the items, filling the cells, the zoom
// slider.

#include "app/LBLibraryController.h"

#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/SegmentedControl.h"

#include <QScrollBar>
#include <QSlider>
#include <QStyle>

#include <cmath>

namespace {

// The width of a small vertical scroller.
int smallScrollerWidth(const QWidget* view)
{
    return view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
}

} // namespace

void LBLibraryController::adjustNumColumns(bool reattach)
{
    if (!_matrix || !_scrollView)
        return;
    const double available = _scrollView->width() - 2 - smallScrollerWidth(_scrollView);
    const double cellWidth = _matrix->cellSize().width();
    qint64 columns = std::max<qint64>(_matrix->numberOfColumns(), 1);
    if (double(columns) * cellWidth > available) {
        if (columns == 1 && _matrix->numberOfColumns() == 1) {
            adjustNumCellsInMatrix(reattach);
            populateMatrixCells();
            return;
        }
        while (columns > 1 && double(columns) * cellWidth > available)
            --columns;
    } else if (cellWidth > 0) {
        while (available - double(columns) * cellWidth >= cellWidth)
            ++columns;
    }
    _matrix->renewRows(_matrix->numberOfRows(), columns);
    double spacing = 0;
    if (columns >= 2)
        spacing = std::trunc((available - double(columns) * cellWidth) / double(columns - 1));
    _matrix->setIntercellSpacing(QSizeF(std::max(spacing, 0.0), 0));
    adjustNumCellsInMatrix(reattach);
    populateMatrixCells();
}

void LBLibraryController::adjustNumCellsInMatrix(bool reattach)
{
    if (!_matrix || !_scrollView)
        return;
    const qint64 columns = std::max<qint64>(_matrix->numberOfColumns(), 1);
    const qint64 rows = graphicCount() / columns + 1;
    const double cellHeight = _matrix->cellSize().height();
    const int scrollHeight = _scrollView->height() - 2 * _scrollView->frameWidth();
    const double needed = double(rows) * cellHeight;
    const bool scrolls = needed > scrollHeight;
    _scrollView->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn
                                                    : Qt::ScrollBarAlwaysOff);
    _matrix->renewRows(rows, columns);
    const int width = _scrollView->width() - 2 * _scrollView->frameWidth()
                      - (scrolls ? _scrollView->verticalScrollBar()->sizeHint().width() : 0);
    _matrix->resize(std::max(width, 1), int(std::ceil(std::max<double>(scrollHeight, needed))));
    if (reattach && _scrollView->documentView() != _matrix)
        _scrollView->setDocumentView(_matrix);
    enableMinusButton(false);
}

void LBLibraryController::populateMatrixCells()
{
    if (!_matrix)
        return;
    const qint64 cells = _matrix->cellCount();
    const qint64 count = std::min<qint64>(graphicCount(), _thumbnails.size());
    for (qint64 i = 0; i < cells; ++i) {
        LBMatrixCell* cell = _matrix->cellAtIndex(i);
        if (i < count) {
            cell->setImage(_thumbnails[i]);
            if (cell->canShowTitle())
                cell->setTitle(_names.value(i));
        } else {
            cell->setImage(LBLibraryThumbnail());
            cell->setTitle(QString());
        }
    }
    _matrix->update();
}

void LBLibraryController::refreshMatrix()
{
    adjustNumCellsInMatrix(false);
    populateMatrixCells();
}

void LBLibraryController::setZoomFactor(const QSlider* sender)
{
    if (!sender || !_matrix || double(sender->value()) == _matrix->cellSize().height())
        return;
    const double side = std::trunc(double(sender->value()));
    _matrix->setCellSize(QSizeF(side, side));
    adjustNumColumns(true);
    const QString key = preferenceKeyOfType(CellSizePreference);
    if (!key.isNull())
        platform::UserDefaults::standardUserDefaults().setObject(
            platform::stringFromSize(QSizeF(side, side)), key);
}
