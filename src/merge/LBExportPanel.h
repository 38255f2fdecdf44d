#pragma once

// The export panel: a save panel with the export options added below its own controls:
// one label or the full sheet, the format (PDF, TIFF, JPEG, PNG), the resolution, the TIFF
// compression or the JPEG quality. A resolution above 300 dpi warns once per panel.

#include <QFileDialog>

#include <optional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QSlider;
class QWidget;

class LBExportPanel : public QFileDialog
{
    Q_OBJECT
public:
    // fullSheetOnly: the size choice is hidden and the full sheet chosen. The panel opens
    // in `folder`, else in the user's documents folder.
    LBExportPanel(bool fullSheetOnly, QWidget* parent = nullptr, const QString& folder = {});

    enum Format { PDF = 0, TIFF = 1, JPEG = 2, PNG = 3 };

    // A change of format: the file types allowed, which options show. From the
    // resolution box, its value is written again as "%d dpi" (clamped to 10 ... 2400,
    // with the beep when out of range).
    void exportPanelAccessoryAction(QObject* sender);
    // The resolution box's text changed: above 2400 it becomes "2400 dpi"; above 300, the
    // first time in this panel, the alert.
    void controlTextDidChange();

    qint64 formatType() const;
    bool fullSheet() const;
    // The box's number clamped to 10 ... 2400.
    qint64 resolution() const;
    // The TIFF compression tag: LZW (5), PackBits (32773) or none (1).
    qint64 tiffCompression() const;
    // 0 ... 1 for JPEG, 1.0 for the other formats.
    double jpgQuality() const;

    QButtonGroup* sizeMatrix() const { return _sizeMatrix; }
    QComboBox* formatPopup() const { return _formatPopup; }
    QComboBox* resolutionBox() const { return _resolutionBox; }
    QComboBox* compressionPopup() const { return _compressionPopup; }
    QSlider* qualitySlider() const { return _qualitySlider; }
    QLabel* compressionLabel() const { return _compressionLabel; }
    QWidget* sizeView() const { return _sizeView; }
    bool warnsAboutResolution() const { return _warnsAboutResolution; }

    // The number at the start of a resolution text ("300 dpi" → 300); none when none.
    static std::optional<qint64> resolutionFromText(const QString& text);

private:
    QButtonGroup* _sizeMatrix = nullptr;
    QComboBox* _formatPopup = nullptr;
    QComboBox* _resolutionBox = nullptr;
    QComboBox* _compressionPopup = nullptr;
    QSlider* _qualitySlider = nullptr;
    QLabel* _compressionLabel = nullptr;
    QLabel* _resolutionLabel = nullptr;
    QWidget* _sizeView = nullptr;
    bool _warnsAboutResolution = true;
    // The resolution last shown whole: what a box left without a number stands for.
    qint64 _shownResolution = 300;
    bool _rewriting = false;
};
