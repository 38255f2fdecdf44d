#pragma once

// The settings sheet of a placeholder: its kind, the prompt with its place and direction,
// the colours, the pattern and picture choice, and whether the outline is hidden. The
// application shell makes the sheet (its window and controls) and registers a factory
// here; the canvas creates one through it, fills its values, begins it on the document
// window and learns the answer through its delegate. With no factory registered there is
// no sheet: the canvas then does not offer to define or edit placeholders that need it.

#include <QColor>
#include <QString>

#include <functional>
#include <memory>

class QWidget;
class LBPlaceholderSettings;

class LBPlaceholderSettingsDelegate
{
public:
    virtual ~LBPlaceholderSettingsDelegate() = default;
    // The sheet closed; saved is whether the user chose to keep the values.
    virtual void placeholderSheetDidDismissWithSave(LBPlaceholderSettings* sheet, bool saved) = 0;
};

class LBPlaceholderSettings
{
public:
    explicit LBPlaceholderSettings(bool forBackgroundPlaceholder)
        : _forBackgroundPlaceholder(forBackgroundPlaceholder)
    {}
    virtual ~LBPlaceholderSettings() = default;

    bool isForBackgroundPlaceholder() const { return _forBackgroundPlaceholder; }
    LBPlaceholderSettingsDelegate* delegate() const { return _delegate; }
    void setDelegate(LBPlaceholderSettingsDelegate* delegate) { _delegate = delegate; }

    // The sheet's own window; nullptr while it has none.
    virtual QWidget* window() const { return nullptr; }
    // Shows the sheet on the window (window-modal); it ends by dismiss().
    virtual void beginSheetForWindow(QWidget* window) { (void)window; }
    // Closes the sheet and tells the delegate, which may let the sheet go.
    void dismiss(bool save)
    {
        if (_delegate)
            _delegate->placeholderSheetDidDismissWithSave(this, save);
    }

    // --- Values (the sheet's controls show and change them) ---
    // A sheet whose controls exist reads and sets them; before, the values are kept here.
    virtual QString typeString() const { return _typeString; }
    virtual void setTypeString(const QString& type) { _typeString = type; }
    virtual QString promptString() const { return _promptString; }
    virtual void setPromptString(const QString& prompt) { _promptString = prompt; }
    // 1 to 8.
    virtual qint64 promptLocation() const { return _promptLocation; }
    virtual void setPromptLocation(qint64 location) { _promptLocation = location; }
    virtual bool promptIsVertical() const { return _promptIsVertical; }
    virtual void setPromptIsVertical(bool vertical) { _promptIsVertical = vertical; }
    virtual QColor color() const { return _color; }
    virtual void setColor(const QColor& color) { _color = color; }
    virtual QColor labelColor() const { return _labelColor; }
    virtual void setLabelColor(const QColor& color) { _labelColor = color; }
    // 0 for none.
    virtual qint64 patternIndex() const { return _patternIndex; }
    virtual void setPatternIndex(qint64 index) { _patternIndex = index; }
    virtual qint64 imageIndex() const { return _imageIndex; }
    virtual void setImageIndex(qint64 index) { _imageIndex = index; }
    virtual bool hideOutline() const { return _hideOutline; }
    virtual void setHideOutline(bool hide) { _hideOutline = hide; }

    // --- Making sheets ---
    using Factory = std::function<std::unique_ptr<LBPlaceholderSettings>(bool forBackground)>;
    // The shell registers its factory at start-up (an empty one removes it).
    static void setFactory(Factory factory);
    static bool hasFactory();
    // A new sheet, or nullptr when no factory is registered.
    static std::unique_ptr<LBPlaceholderSettings> make(bool forBackgroundPlaceholder);

private:
    bool _forBackgroundPlaceholder = false;
    LBPlaceholderSettingsDelegate* _delegate = nullptr;
    QString _typeString;
    QString _promptString;
    qint64 _promptLocation = 1;
    bool _promptIsVertical = false;
    QColor _color;
    QColor _labelColor;
    qint64 _patternIndex = 0;
    qint64 _imageIndex = 0;
    bool _hideOutline = false;
};
