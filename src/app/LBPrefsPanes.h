#pragma once

// The General, Appearance and Printing panes of the preferences window. Each reads its
// settings into its controls when its view is made and each time it is shown, writes a
// setting as soon as its control changes, and posts the notification the rest of the
// program listens to where it must react.

#include "platform/ui/PreferencesWindow.h"

#include <QVariantMap>
#include <QtGlobal>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// The notifications the panes post (besides the document's own).
inline const QString LBUnitsTypeChanged = QStringLiteral("LBUnitsTypeChanged");
inline const QString LBDisplayOrderChanged = QStringLiteral("LBDisplayOrderChanged");
inline const QString LBSortOrderChanged = QStringLiteral("LBSortOrderChanged");
inline const QString LBUpdateDpiPopup = QStringLiteral("LBUpdateDpiPopup");
inline const QString LBRefreshRenderingViewNotification =
    QStringLiteral("LBRefreshRenderingViewNotification");

class LBGeneralPrefsPane : public platform::PreferencePane
{
public:
    QWidget* loadMainView() override;
    void mainViewDidLoad() override;
    void willSelect() override;

    // The AutoRecover pop-up: minutes stored for an item, and the item a stored value shows.
    static qint64 autoRecoverMinutesForItem(int item);
    static int autoRecoverItemForMinutes(qint64 minutes);
    // The settings every optional confirmation and hint is turned back on with.
    static QVariantMap resetDialogsValues();

    void unitsAction(int item);
    void autoRecoverAction(int item);
    void deleteBlankLinesAction(bool on);
    void resetDialogsAction();

    QComboBox* unitsPopup() const { return _unitsPopup; }
    QComboBox* autoRecoverPopup() const { return _autoRecoverPopup; }
    QCheckBox* deleteBlankLinesBox() const { return _deleteBlankLines; }

private:
    void readDefaults();

    QComboBox* _unitsPopup = nullptr;
    QComboBox* _autoRecoverPopup = nullptr;
    QCheckBox* _deleteBlankLines = nullptr;
};

class LBDisplayPrefsPane : public platform::PreferencePane
{
public:
    QWidget* loadMainView() override;
    void mainViewDidLoad() override;
    void willSelect() override;

    // The sort pop-up lists first name before last name: items 0 and 1 swap values.
    static qint64 sortFieldForItem(int item);
    static int itemForSortField(qint64 field);

    void nameOrderAction(bool firstNameFirst);
    void sortFieldAction(int item);
    void countryAction(int item);
    void gridSpacingAction();
    void guideSpacingAction();
    void inspectorGapAction(int item);
    void imageQualityAction();

    QRadioButton* firstNameFirstButton() const { return _firstLast; }
    QRadioButton* lastNameFirstButton() const { return _lastFirst; }
    QComboBox* sortPopup() const { return _sortPopup; }
    QComboBox* countryPopup() const { return _countryPopup; }
    QLineEdit* gridSpacingField() const { return _gridSpacing; }
    QLabel* gridUnitsLabel() const { return _gridUnits; }
    QLineEdit* guideSpacingField() const { return _guideSpacing; }
    QComboBox* inspectorGapPopup() const { return _gapPopup; }
    QComboBox* imageQualityBox() const { return _imageQuality; }

private:
    void readDefaults();
    void showImageQuality();

    QRadioButton* _firstLast = nullptr;
    QRadioButton* _lastFirst = nullptr;
    QComboBox* _sortPopup = nullptr;
    QComboBox* _countryPopup = nullptr;
    QLineEdit* _gridSpacing = nullptr;
    QLabel* _gridUnits = nullptr;
    QLineEdit* _guideSpacing = nullptr;
    QComboBox* _gapPopup = nullptr;
    QComboBox* _imageQuality = nullptr;
    qint64 _currentImageQuality = 0;
};

class LBPrintingPrefsPane : public platform::PreferencePane
{
public:
    QWidget* loadMainView() override;
    void mainViewDidLoad() override;
    void willSelect() override;

    void bleedAction(int item);
    void cropMarksAction(bool on);
    // The label outlines box has tag 1; any other tag is "crop to labels".
    void mediaLabelsCheckboxAction(int tag, bool on);
    // Text typed into the print quality box.
    void printQualityTextChanged();
    // The print quality edit ended.
    void printQualityAction();

    QComboBox* bleedPopup() const { return _bleedPopup; }
    QComboBox* printQualityBox() const { return _printQuality; }
    QCheckBox* cropMarksBox() const { return _cropMarks; }
    QCheckBox* labelOutlinesBox() const { return _labelOutlines; }
    QCheckBox* cropToLabelsBox() const { return _cropToLabels; }

private:
    void showPrintQuality(qint64 dpi);
    void warnOfHighResolution(qint64 dpi);

    QComboBox* _bleedPopup = nullptr;
    QComboBox* _printQuality = nullptr;
    QCheckBox* _cropMarks = nullptr;
    QCheckBox* _labelOutlines = nullptr;
    QCheckBox* _cropToLabels = nullptr;
    // The high-resolution warning shows once per visit of the pane.
    bool _highResolutionWarningArmed = true;
    // Whether the box was typed in since its edit last ended (a value picked from its list
    // is not warned of).
    bool _typedSinceEditEnded = false;
    // The print quality last shown whole: what a box left without a number goes back to.
    qint64 _shownPrintQuality = 300;
};
