#pragma once

// The "Me" pane of the preferences window: the user picks the contact that stands for
// themselves ("My Person ID") and sets a logo and a signature picture ("My Logo",
// "My Signature"), which the merge fields of the user's own data read. Each change posts
// LBMePersonChangedNotification so open windows refresh.

#include "platform/core/ContactStore.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/PreferencesWindow.h"

#include <QList>
#include <QString>

#include <memory>

class LBDragImageView;
class QLineEdit;
class QPushButton;
class QListView;
class QStringListModel;

namespace platform {
class Image;
}

inline const QString LBMePersonChangedNotification =
    QStringLiteral("LBMePersonChangedNotification");

class LBMePrefsPane : public platform::PreferencePane
{
public:
    LBMePrefsPane();
    ~LBMePrefsPane() override;

    QWidget* loadMainView() override;
    void mainViewDidLoad() override;

    // The people order of the pane by "Contact Sort Field": true when a comes before b.
    static bool comparePeople(const platform::ContactPerson& a, const platform::ContactPerson& b,
                              qint64 sortField);
    // What a row shows for the person ("(No Name)" when nothing).
    static QString rowTitle(const platform::ContactPerson& person, bool firstNameFirst);
    // The people of the source with, for every word of the text (split at spaces), a value
    // beginning with that word; the whole source for an empty text.
    static QList<platform::ContactPersonPtr>
    recordsMatchingSearchStr(const QString& text, const QList<platform::ContactPersonPtr>& source);
    // What a well stores of a picture: EPS or PDF as read, else LZW TIFF; empty for none.
    static QByteArray dataForImage(const std::shared_ptr<platform::Image>& image);

    void readAddressBook();
    void processSearchStr(const QString& text);
    void selectMePerson();
    void makeMyCardAction();
    // A well's picture changed (dropped or dragged out).
    void imageWellAction(LBDragImageView* well);
    // The picture of the file goes into the logo or signature well; false when it is none.
    bool setImageFromFile(const QString& path, bool signature);
    void setLogoAction();
    void setSignatureAction();
    void clearLogoAction();
    void clearSignatureAction();
    // Writes the user's first and last name as the signature; enabled only while the
    // card chosen as the user's has both.
    void createSignatureButtonAction();
    QPushButton* createSignatureButton() const { return _createSignatureButton; }

    const QList<platform::ContactPersonPtr>& people() const { return _people; }
    QListView* table() const { return _table; }
    QLineEdit* searchField() const { return _searchField; }
    LBDragImageView* logoWell() const { return _logoWell; }
    LBDragImageView* signatureWell() const { return _signatureWell; }
    // The row selected, -1 for none.
    int selectedRow() const;

private:
    void reloadTable();
    void storeWell(LBDragImageView* well);
    void showStoredImage(LBDragImageView* well, const QString& key);
    void openImagePanel(bool signature);
    // The signature's text of the user's card: its first and last name; empty without.
    QString nameForSignature() const;
    void updateCreateSignatureButton();

    QList<platform::ContactPersonPtr> _people;
    QListView* _table = nullptr;
    QStringListModel* _rows = nullptr;
    QLineEdit* _searchField = nullptr;
    LBDragImageView* _logoWell = nullptr;
    LBDragImageView* _signatureWell = nullptr;
    QPushButton* _createSignatureButton = nullptr;
    platform::ObserverToken _contactsChanged;
};
