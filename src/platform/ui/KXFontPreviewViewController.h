#pragma once

// A font chooser that shows every installed family drawn in itself: one row a family, its
// name and the preview text (the family's name while there is none) in its regular face at
// the preview size, with a slider for that size. Picking a row makes that family's font
// the selected font; the slider changes the preview size and with it the selected font's
// size. Both are properties with change signals, so an owner can follow them.
//
// The view is made with the controller and goes with it, also once the owner has taken it
// into its own widgets (its object name is "HUDFontPreviewView"): its rows are drawn from
// the controller's preview size and text. Light text on a dark ground.

#include <QFont>
#include <QListView>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QSlider;
class QStandardItemModel;
class QWidget;

class KXFontPreviewViewController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QFont selectedFont READ selectedFontValue NOTIFY selectedFontChanged)
    Q_PROPERTY(double previewFontSize READ previewFontSize WRITE setPreviewFontSize NOTIFY
                   previewFontSizeChanged)
public:
    static constexpr double minimumPreviewSize = 6.0;
    static constexpr double maximumPreviewSize = 96.0;

    explicit KXFontPreviewViewController(QObject* parent = nullptr);
    ~KXFontPreviewViewController() override;

    QWidget* view() const;

    // The chosen family's font at the preview size; none until one is chosen.
    std::optional<QFont> selectedFont() const;
    QFont selectedFontValue() const { return selectedFont().value_or(QFont()); }
    // Shows the font's family selected and takes its size as the preview size.
    void setSelectedFont(const std::optional<QFont>& font);
    double previewFontSize() const { return _previewFontSize; }
    // Clamped to the slider's range.
    void setPreviewFontSize(double size);
    QString previewString() const { return _previewString; }
    void setPreviewString(const QString& string);

    // The families listed, in order, and choosing one as the user does.
    QStringList families() const;
    void selectFamilyAtRow(int row);
    QSlider* sizeSlider() const { return _slider; }
    QListView* familyList() const { return _list; }

Q_SIGNALS:
    void selectedFontChanged();
    void previewFontSizeChanged();

private:
    void rowChosen(int row);
    void refreshRows();

    // Either may be deleted by the owner's widgets first.
    QPointer<QWidget> _view;
    QPointer<QListView> _list;
    QSlider* _slider = nullptr;
    QStandardItemModel* _model = nullptr;
    std::optional<QFont> _selectedFont;
    double _previewFontSize = 24.0;
    QString _previewString;
};
