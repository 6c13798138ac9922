// The designer's document: a screen file being edited, the screen shown,
// the selection, the undo stack and the drawing of the shown screen as the
// terminal will show it. Every change goes through Apply, which checks the
// new state by the file's rules and records it on the undo stack, so what is
// edited can always be saved, built and sent.
#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <QStringList>
#include <QUndoStack>
#include <memory>
#include <vector>

#include "screen/screen_doc.h"

class CScreenFonts;

// Merge ids of changes that fold into the one before them (one undo step
// for a run of arrow-key moves or typed values).
enum : int { SCREEN_MERGE_NONE = -1, SCREEN_MERGE_KEY_MOVE = 1, SCREEN_MERGE_PROPERTY = 2 };

class CScreenEditor : public QObject {
    Q_OBJECT
public:
    explicit CScreenEditor(QObject *parent = nullptr);
    ~CScreenEditor() override;

    // Starts editing doc (screen 0), with an empty undo stack, clean.
    void Load(const CScreenDoc &doc);
    bool IsLoaded() const { return m_loaded; }
    void Unload();

    const CScreenDoc &Doc() const { return m_doc; }
    int Current() const { return m_current; }
    const CScreen &Screen() const { return m_doc.screens[static_cast<size_t>(m_current)]; }
    // Shows another screen of the file (not an undoable change).
    void SetCurrent(int index);

    // Replaces the document by after, checked by the file's rules first; on a
    // rule broken nothing changes and *error says why. The change is one step
    // of the undo stack named text; merge folds it into the step before when
    // that has the same merge id and the same selection.
    bool Apply(const CScreenDoc &after, const QString &text, int merge = SCREEN_MERGE_NONE, QString *error = nullptr);
    // A copy of the document to change and Apply.
    CScreenDoc Draft() const { return m_doc; }
    CScreen &ScreenOf(CScreenDoc &doc) const { return doc.screens[static_cast<size_t>(m_current)]; }

    QUndoStack &Undo() { return m_undo; }
    bool IsModified() const { return !m_undo.isClean(); }
    // After saving: the document's path and the clean state.
    void MarkSaved(const QString &path);

    // --- Selection (indexes of the shown screen's items, ascending) ---
    const std::vector<int> &Selection() const { return m_selection; }
    void SetSelection(std::vector<int> items);
    bool IsSelected(int item) const;

    // --- Geometry ---
    // The rectangle an item covers on the screen: a picture's box, a text's
    // cells (half-width cells in the square sizes, full ones in the narrow).
    static QRect ItemRect(const CScreenItem &item);
    QRect ItemRect(int item) const { return ItemRect(Screen().items[static_cast<size_t>(item)]); }
    // The topmost item at a screen position, -1 when none.
    int ItemAt(const QPoint &pos) const;
    QRect SelectionRect() const;

    // --- Editing operations on the selection (each one undo step) ---
    // Moves by dx, dy, kept inside the screen.
    bool MoveSelection(int dx, int dy, const QString &text, int merge = SCREEN_MERGE_NONE);
    // Puts picture item in a new box (kept inside the screen, at least 1 x 1).
    bool ResizePicture(int item, const QRect &box);
    bool RemoveSelection();
    // Brings each selected item one place later (forward) or earlier in the
    // screen's order, which is the order the terminal draws them.
    bool RaiseSelection(bool forward);
    enum Align { AlignLeft, AlignRight, AlignTop, AlignBottom, AlignHCenter, AlignVCenter };
    // Several items: to the edge or centre of their common rectangle; one
    // item: to the screen's.
    bool AlignSelection(Align how);
    // Adds an item at the end of the shown screen and selects it.
    bool AddItem(const CScreenItem &item, const QString &text);
    // Adds a new empty screen after the shown one and shows it.
    bool AddScreen(const QString &name);

    // --- Drawing ---
    // The shown screen as the terminal will show it (Format_RGB16 or
    // Format_BGR888), redrawn after each change; when it cannot be built
    // the background alone and RenderError() says why.
    const QImage &Image() const { return m_image; }
    const QString &RenderError() const { return m_renderError; }
    const std::vector<int> &Approximate() const { return m_approximate; }
    const QStringList &Notes() const { return m_notes; }
    // Draws again (after a picture or font file changed on disk).
    void Render();

signals:
    // The document or the shown screen changed (the image is already new).
    void changed();
    void selectionChanged();
    // A font library or picture cannot be used (each new problem once).
    void problem(const QString &text);

private:
    friend class CScreenEditCmd;
    void SetState(const CScreenDoc &doc, int current, const std::vector<int> &selection);

    CScreenDoc m_doc;
    int m_current = 0;
    bool m_loaded = false;
    std::vector<int> m_selection;
    QUndoStack m_undo;
    QImage m_image;
    QString m_renderError;
    std::vector<int> m_approximate;
    QStringList m_notes;
    // Font libraries read for the document's Font list, kept until it changes.
    std::unique_ptr<CScreenFonts> m_fonts;
    std::vector<CScreenFont> m_fontsFor;
    QString m_fontsPath;
    QString m_fontError;
    // The pictures composed last and what they were composed from.
    QImage m_composed;
    CScreen m_composedFrom;
    QString m_composedPath;
    int m_composedBpp = 0;
};
