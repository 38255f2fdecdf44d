#pragma once

// The envelope feed sheet: how the printer takes envelopes (automatic alignment, or the
// loading edge, the side facing up and the feed position, with a picture of the choice)
// and the envelope's orientation. Opened in place of printing an envelope with the print
// panel; saving stores the choices and prints.

#include <QDialog>
#include <QString>

class QButtonGroup;
class QLabel;
class QRadioButton;
class QWidget;
class LBDocument;
class LBWindowController;

class LBEnvelopeFeedSheet : public QDialog
{
    Q_OBJECT
public:
    explicit LBEnvelopeFeedSheet(LBWindowController& window, QWidget* parent = nullptr);

    // Shows the user's choices and the document's orientation, then the sheet.
    void openEnvelopeFeedSheet();
    // Manual alignment enables the manual choices and shows them; the sheet keeps its top
    // edge.
    void envelopeAlignmentAction();
    // The portrait and landscape buttons act as a pair.
    void envelopeOrientationAction(bool landscape);
    // "EnvelopeFront" or "EnvelopeTop", then "Left", "Center" or "Right", then "D" when
    // face down.
    void updateEnvelopePreview();
    QString previewImageName() const;
    // Stores the choices and the orientation, closes, sets the page up for the feed and
    // prints with the panel.
    void saveEnvelopeSheet();
    void cancelEnvelopeSheet();

    // Rows: 0 the first choice (automatic, front, face up, left), 1 the second...
    QButtonGroup* alignmentMatrix() const { return _alignment; }
    QButtonGroup* loadingMatrix() const { return _loading; }
    QButtonGroup* orientationMatrix() const { return _faceOrientation; }
    QButtonGroup* feedMatrix() const { return _feed; }
    QRadioButton* landscapeButton() const { return _landscapeButton; }

private:
    QButtonGroup* matrix(const QStringList& titles, QWidget* into);
    LBDocument* document() const;

    LBWindowController& _window;
    QButtonGroup* _alignment = nullptr;
    QButtonGroup* _loading = nullptr;
    QButtonGroup* _faceOrientation = nullptr;
    QButtonGroup* _feed = nullptr;
    QRadioButton* _portraitButton = nullptr;
    QRadioButton* _landscapeButton = nullptr;
    QLabel* _preview = nullptr;
    QWidget* _manualControls = nullptr;
    bool _openedBefore = false;
};
