#!/usr/bin/env python3
"""Writes the merge-field lists resources/Fields.plist, MyFields.plist and MiscFields.plist.

Each list is an array of groups {"fieldName", "childArray"}; each child is a field
definition. The child numbers of the groups "Address (complete)", "Address (1-line)",
"Internet" and "Phone" are what the sender's identity fields choose by (the fax entries
are children 13 and 14 of "Phone"), so the "My" list repeats those groups in the same
order. Every field gets a "fieldDesc", the sentence the fields drawer shows under its
outline when the field is selected. Run from the repository root: tools/fieldlists/make-field-lists.py
"""
import plistlib, os

def f(name, prop, kind, **extra):
    d = {"fieldName": name, "propertyName": prop, "propertyType": kind}
    d.update(extra)
    return d

def multi(name, prop, kind, sel, **extra):
    return f(name, prop, kind, isMultiple=1, selectionType=sel, **extra)

def contact_groups(p, my):
    """The groups of one card; p prefixes the shown names ("" or "My ")."""
    addr = lambda n, prop: [
        f(p + n, prop, 7, selectionType=0),
        f(p + n.replace("Address", "Address 1", 1), prop, 7, selectionType=1, indexNum=1),
        f(p + n.replace("Address", "Address 2", 1), prop, 7, selectionType=1, indexNum=2),
        f(p + "Home " + n, prop, 7, selectionType=2, labelName="home"),
        f(p + "Work " + n, prop, 7, selectionType=2, labelName="work"),
    ]
    phone = [
        multi(p + "Phone", "Phone", 14, 0),
        multi(p + "Phone 1", "Phone", 14, 1, indexNum=1),
        multi(p + "Phone 2", "Phone", 14, 1, indexNum=2),
        multi(p + "Phone 3", "Phone", 14, 1, indexNum=3),
        multi(p + "Home Phone", "Phone", 14, 2, labelName="home"),
        multi(p + "Work Phone", "Phone", 14, 2, labelName="work"),
        multi(p + "Mobile Phone", "Phone", 14, 2, labelName="mobile"),
        multi(p + "Main Phone", "Phone", 14, 2, labelName="main"),
        multi(p + "Other Phone", "Phone", 14, 2, labelName="other"),
        multi(p + "Phone Label", "Phone", 0, 4),
        multi(p + "Phone 1 Label", "Phone", 0, 5, indexNum=1),
        multi(p + "Phone 2 Label", "Phone", 0, 5, indexNum=2),
        multi(p + "Phone 3 Label", "Phone", 0, 5, indexNum=3),
        multi(p + "Fax", "Phone", 14, 2, labelName="fax"),
        multi(p + "Work Fax", "Phone", 14, 2, labelName="workfax"),
    ]
    assert phone[13]["labelName"] == "fax" and phone[14]["labelName"] == "workfax"
    internet = [
        multi(p + "Home Page", "HomePage", 0, 0),
        multi(p + "Email", "Email", 0, 0),
        multi(p + "Email 1", "Email", 0, 1, indexNum=1),
        multi(p + "Email 2", "Email", 0, 1, indexNum=2),
        multi(p + "Home Email", "Email", 0, 2, labelName="home"),
        multi(p + "Work Email", "Email", 0, 2, labelName="work"),
    ]
    street = lambda n, key: multi(p + n, "Address", 5, 0, propertyKey=key)
    return [
        {"fieldName": "Name", "childArray": [
            f(p + "First Last", "kLBQFirstAndLastNameProperty", 7),
            f(p + "First Name", "First", 0),
            f(p + "Middle Name", "Middle", 0),
            f(p + "Last Name", "Last", 0),
            f(p + "Prefix", "Title", 0),
            f(p + "Suffix", "Suffix", 0),
            f(p + "Nickname", "Nickname", 0),
            f(p + "Name or Company", "kLBQNameOrCompanyProperty", 7),
            f(p + "Full Name or Company", "kLBQFullNameOrCompanyProperty", 7),
            f(p + "Company or Name", "kLBQCompanyOrNameProperty", 7),
            f(p + "Company or Full Name", "kLBQCompanyOrFullNameProperty", 7),
            f(p + "First Initial", "kLBQFirstInitialUProperty", 7),
            f(p + "Middle Initial", "kLBQMiddleInitialUProperty", 7),
            f(p + "Last Initial", "kLBQLastInitialUProperty", 7),
            f(p + "first initial (lower case)", "kLBQFirstInitialLProperty", 7),
            f(p + "middle initial (lower case)", "kLBQMiddleInitialLProperty", 7),
            f(p + "last initial (lower case)", "kLBQLastInitialLProperty", 7),
            multi(p + "Spouse", "RelatedNames", 0, 2, labelName="spouse"),
        ]},
        {"fieldName": "Company", "childArray": [
            f(p + "Company", "Organization", 0),
            f(p + "Department", "Department", 0),
            f(p + "Job Title", "JobTitle", 0),
            f(p + "Company Initial", "kLBQCompanyInitialUProperty", 7),
            f(p + "company initial (lower case)", "kLBQCompanyInitialLProperty", 7),
        ]},
        {"fieldName": "Address (complete)",
         "childArray": addr("Address", "kLBQFullAddressProperty")},
        {"fieldName": "Address (1-line)",
         "childArray": addr("Address (1-line)", "kLBQFullSingleAddressProperty")},
        {"fieldName": "Address Parts", "childArray": [
            street("Street", "Street"), street("City", "City"), street("State", "State"),
            street("ZIP", "ZIP"), street("Country", "Country"),
        ]},
        {"fieldName": "Postal Codes", "childArray": [
            multi(p + "Code", "Address", 5, 0, propertyKey="ZIP"),
            multi(p + "Code 1", "Address", 5, 1, indexNum=1, propertyKey="ZIP"),
            multi(p + "Code 2", "Address", 5, 1, indexNum=2, propertyKey="ZIP"),
            multi(p + "Home Code", "Address", 5, 2, labelName="home", propertyKey="ZIP"),
            multi(p + "Work Code", "Address", 5, 2, labelName="work", propertyKey="ZIP"),
        ]},
        {"fieldName": "Phone", "childArray": phone},
        {"fieldName": "Internet", "childArray": internet},
        {"fieldName": "Dates", "childArray": [
            f(p + "Birthday", "Birthday", 3),
            multi(p + "Anniversary", "OtherDates", 16, 2, labelName="anniversary"),
            multi(p + "Date 1", "OtherDates", 16, 1, indexNum=1),
            multi(p + "Date 2", "OtherDates", 16, 1, indexNum=2),
        ]},
        {"fieldName": "Other", "childArray": [
            f(p + "Note", "Note", 0),
            f(p + "Picture", "kLBQPictureProperty", 9),
        ]},
    ]

fields = contact_groups("", False)
my = contact_groups("My ", True) + [
    {"fieldName": "Sender", "childArray": [
        f("Sender Address", "kLBQIdentityAddressProperty", 8),
        f("Sender Address (1-line)", "kLBQIdentitySingleAddressProperty", 8),
        f("Sender Email", "kLBQIdentityEmailProperty", 8),
        f("Sender Phone", "kLBQIdentityPhoneProperty", 8),
        f("Sender Fax", "kLBQIdentityFaxPhoneProperty", 8),
        f("My Logo", "kLBQIdentityLogoProperty", 9),
        f("My Signature", "kLBQIdentitySignatureProperty", 9),
    ]},
]
blocks = ["Prefix+Name", "CompanyAddress", "Name+Company", "Company+Attention",
          "Name+Title+Company", "Name+Dept+Company", "Name+Title+Dept+Company",
          "Name+Spouse", "Family", "Wedding Invitation"]
barcodes = ["Code39", "Code128", "Code39Extended", "Interleaved2of5", "Industrial2of5",
            "UPCA", "UPCE", "EAN13", "EAN8", "POSTNET", "ModifiedPlessey", "ModifiedPlesseyHex",
            "Codabar", "RoyalMail", "PLANET", "JapanPost"]
notcontact = {"isContactField": False}
misc = [
    {"fieldName": "Date and Time", "childArray": [
        f("Today", "kLBQCurrentDateProperty", 3, **notcontact),
        f("Time", "kLBQCurrentTimeProperty", 13, **notcontact),
    ]},
    {"fieldName": "Counters", "childArray": [
        f("Serial Number", "kLBSerialNumberField", 10),
        f("Total Count", "kLBTotalCountField", 10),
        f("Count of Total", "kCountOfTotalField", 10),
    ]},
    {"fieldName": "Import", "childArray": [
        f("Import %d" % i, "kLBImport%dField" % i, 11) for i in range(1, 21)]},
    {"fieldName": "Markers", "childArray": [
        f("[", "kLBQLeftBracketProperty", 7, **notcontact),
        f("]", "kLBQRightBracketProperty", 7, **notcontact),
        f("Repeat Start", "kLBQRepeatStartProperty", 7, **notcontact),
        f("Repeat Stop", "kLBQRepeatStopProperty", 7, **notcontact),
    ]},
    {"fieldName": "Address Blocks", "childArray":
        [f(b, "kLBPreformattedAddressProperty", 7) for b in blocks] +
        [f("My" + b, "kLBPreformattedAddressProperty", 7) for b in blocks]},
    {"fieldName": "Barcodes", "childArray": [
        f(b + " Barcode", "kLB%sProperty" % b, 12) for b in barcodes]},
]

# What each field inserts, shown under the fields drawer's outline ("fieldDesc").
NOUNS = {
    "First": "first name", "Middle": "middle name", "Last": "last name",
    "Title": "name prefix (Mr., Dr.)", "Suffix": "name suffix (Jr., III)",
    "Nickname": "nickname", "Organization": "company", "Department": "department",
    "JobTitle": "job title", "Note": "note", "Birthday": "birthday",
    "HomePage": "home page", "Email": "email address", "Phone": "phone number",
    "OtherDates": "date", "RelatedNames": "spouse's name",
}
COMPUTED = {
    "kLBQFirstAndLastNameProperty": "first and last name",
    "kLBQNameOrCompanyProperty": "name, or the company when the card is a company's",
    "kLBQFullNameOrCompanyProperty":
        "full name with prefix and suffix, or the company when the card is a company's",
    "kLBQCompanyOrNameProperty": "company, or the name when there is no company",
    "kLBQCompanyOrFullNameProperty": "company, or the full name when there is no company",
    "kLBQFirstInitialUProperty": "first initial, in capitals",
    "kLBQMiddleInitialUProperty": "middle initial, in capitals",
    "kLBQLastInitialUProperty": "last initial, in capitals",
    "kLBQFirstInitialLProperty": "first initial, in lower case",
    "kLBQMiddleInitialLProperty": "middle initial, in lower case",
    "kLBQLastInitialLProperty": "last initial, in lower case",
    "kLBQCompanyInitialUProperty": "company's initial, in capitals",
    "kLBQCompanyInitialLProperty": "company's initial, in lower case",
    "kLBQFullAddressProperty": "postal address, laid out for its country",
    "kLBQFullSingleAddressProperty": "postal address on one line",
    "kLBQPictureProperty": "picture",
}
LABELS = {"home": "home", "work": "work", "mobile": "mobile", "main": "main",
          "other": "other", "fax": "fax", "workfax": "work fax", "anniversary": "anniversary"}
POSTAL_BARCODES = ("POSTNET", "RoyalMail", "PLANET", "JapanPost")
KEYS = {"Street": "street", "City": "city", "State": "state", "ZIP": "postal code",
        "Country": "country"}
SENDER = {
    "kLBQIdentityAddressProperty": "The sender's postal address, from your own card.",
    "kLBQIdentitySingleAddressProperty": "The sender's postal address on one line.",
    "kLBQIdentityEmailProperty": "The sender's email address.",
    "kLBQIdentityPhoneProperty": "The sender's phone number.",
    "kLBQIdentityFaxPhoneProperty": "The sender's fax number.",
    "kLBQIdentityLogoProperty": "The logo chosen in the preferences.",
    "kLBQIdentitySignatureProperty": "The signature chosen in the preferences.",
}
OTHER = {
    "kLBQCurrentDateProperty": "The date the labels are printed on.",
    "kLBQCurrentTimeProperty": "The time the labels are printed at.",
    "kLBSerialNumberField": "A number counting up from label to label.",
    "kLBTotalCountField": "How many labels are printed.",
    "kCountOfTotalField": "The label's number out of all printed (\"3 of 40\").",
    "kLBQLeftBracketProperty":
        "Starts a part of the text that is left out when its fields are empty.",
    "kLBQRightBracketProperty": "Ends a part started with [.",
    "kLBQRepeatStartProperty":
        "Starts text repeated for every selected contact, in one text box (a list).",
    "kLBQRepeatStopProperty": "Ends the repeated text.",
}

def describe(node, own):
    """A sentence for a field definition; own: a field of the user's own card."""
    prop = node["propertyName"]
    kind = node["propertyType"]
    name = node["fieldName"]
    whose = "Your" if own else "The contact's"
    if prop in SENDER:
        return SENDER[prop]
    if prop in OTHER:
        return OTHER[prop]
    if prop.startswith("kLBImport"):
        return "Column %s of the imported text records." % prop[len("kLBImport"):-len("Field")]
    if prop == "kLBPreformattedAddressProperty":
        who = "the sender" if name.startswith("My") else "the contact"
        return "A ready-made address block (%s) for %s." % (name.removeprefix("My"), who)
    if kind == 12:
        symbology = name[:-len(" Barcode")]
        if symbology in POSTAL_BARCODES:
            return "%s barcode of the contact's postal code." % symbology
        return "%s barcode of the text set in the inspector." % symbology
    sel = node.get("selectionType", 0)
    # Which of several values: "first", "home", ... before the noun.
    which = ""
    if sel in (1, 5):
        which = ("first", "second", "third")[node["indexNum"] - 1] + " "
    elif sel == 2 and prop != "RelatedNames":
        which = LABELS[node["labelName"]] + " "
    if sel in (4, 5):
        return "The label of %s %sphone number." % (whose.lower(), which)
    if sel == 2 and node["labelName"] in ("fax", "workfax"):
        return "%s %snumber." % (whose, which)
    if sel == 2 and node["labelName"] == "anniversary":
        return "%s anniversary." % whose
    if prop == "Address" and "propertyKey" in node:
        return "%s %s%s." % (whose, which, KEYS[node["propertyKey"]])
    noun = COMPUTED.get(prop) or NOUNS.get(prop)
    if not noun:
        return None
    return "%s %s%s." % (whose, which, noun)

for groups, own in ((fields, False), (my, True), (misc, False)):
    for group in groups:
        for node in group["childArray"]:
            text = describe(node, own)
            if text:
                node["fieldDesc"] = text

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")
for name, data in (("Fields", fields), ("MyFields", my), ("MiscFields", misc)):
    with open(os.path.join(root, name + ".plist"), "wb") as out:
        text = plistlib.dumps(data, sort_keys=True).decode()
        # No document type line: our reader needs none.
        text = "".join(l for l in text.splitlines(True) if not l.startswith("<!DOCTYPE"))
        out.write(text.encode())
