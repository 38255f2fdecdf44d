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
    QString typeString() const { return _typeString; }
    void setTypeString(const QString& type) { _typeString = type; }
    QString promptString() const { return _promptString; }
    void setPromptString(const QString& prompt) { _promptString = prompt; }
    // 1 to 8.
    qint64 promptLocation() const { return _promptLocation; }
    void setPromptLocation(qint64 location) { _promptLocation = location; }
    bool promptIsVertical() const { return _promptIsVertical; }
    void setPromptIsVertical(bool vertical) { _promptIsVertical = vertical; }
    QColor color() const { return _color; }
    void setColor(const QColor& color) { _color = color; }
    QColor labelColor() const { return _labelColor; }
    void setLabelColor(const QColor& color) { _labelColor = color; }
    // 0 for none.
    qint64 patternIndex() const { return _patternIndex; }
    void setPatternIndex(qint64 index) { _patternIndex = index; }
    qint64 imageIndex() const { return _imageIndex; }
    void setImageIndex(qint64 index) { _imageIndex = index; }
    bool hideOutline() const { return _hideOutline; }
    void setHideOutline(bool hide) { _hideOutline = hide; }

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
