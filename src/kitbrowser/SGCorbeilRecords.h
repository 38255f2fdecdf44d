#pragma once

// The records of the kit library's store, as plain values: one per imported kit and one per
// graphic of a kit, with the store's attribute names. A record is a snapshot of the store
// when it was read; the controller reads them again after every change.
//
// Texts the manifest lacks are stored as empty texts. The lists kept in one text ("Paper|
// Frame") are joined by "|".

#include <QString>

struct SGKitRecord
{
    qint64 id = 0; // the store's row; 0 for the "All Kits" item, which is never stored
    QString UID;   // the kit description's identifier
    QString name;
    QString filename; // the package's name inside the library's "Kits" folder
    QString author;
    QString kitType; // English kit type name ("Paper", "Complete Kit") or empty
    QString kitSize; // "12x12 inches", "8.5x11 inches", "4x6 inches", "Other" or empty
    QString kitDescription;
    QString tagString;
    QString typeString;           // distinct graphic types, in order of first appearance
    QString subtypeString;        // distinct non-empty subtypes
    QString primaryColorString;   // distinct primary colour names
    QString secondaryColorString; // distinct secondary colour names

    bool isAllKitsItem() const { return id == 0 && filename == QLatin1String("allkits"); }
    bool operator==(const SGKitRecord&) const = default;
};

struct SGObjectRecord
{
    // What a graphic's record knows of its kit (the "kit" relation).
    struct Kit
    {
        qint64 id = 0;
        QString UID;
        QString filename;
        QString name;
        QString author;
        bool operator==(const Kit&) const = default;
    };

    qint64 id = 0;
    QString UID;      // made at import
    QString filename; // inside the kit's "Images" folder
    QString name;
    QString type;    // display forms ("Paper", "Embellishment", "Quick Page")
    QString subtype; // empty when none
    QString orientation;
    QString paperType;
    QString numberOfPictures; // decimal text, empty when none
    QString tagString;
    QString primaryColorName;
    QString primaryColorValue; // the colour's string form
    QString secondaryColorNames;
    QString secondaryColorValues;
    // The manifest's thumbnail names (empty when it names none).
    QString thumbnailFilename;
    QString detailThumbnailFilename;
    Kit kit;

    bool operator==(const SGObjectRecord&) const = default;
};
