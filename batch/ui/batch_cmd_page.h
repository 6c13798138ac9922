// The parameter pages of the batch configuration dialog: one page class per
// group of command kinds. A page shows a record in its controls
// (SetCmdData) and stores the controls back into a record (GetCmdData),
// rejecting invalid values with a status bar message and the focus on the
// faulty field.
#pragma once

#include <QWidget>

#include "batch/batch_cmd.h"

class CMyBtn;
class CMyTerminal;
class CStatusSink;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace BATCHCMD
{

// The file dialogs of the page buttons "浏览". Each shows the current path
// as its initial file name and, on OK, replaces it with the chosen file.
class CBatchBrowser
{
  public:
    virtual ~CBatchBrowser() = default;
    virtual bool BrowsePicture(QWidget *parent, QString *path) = 0;
    virtual bool BrowseFont(QWidget *parent, QString *path) = 0;
    virtual bool BrowseSound(QWidget *parent, QString *path) = 0;
};

// What the pages need: where rejections go, the terminal (its baud list)
// and the file dialogs.
struct CBatchPageEnv {
    CStatusSink *status = nullptr;
    const CMyTerminal *terminal = nullptr;
    CBatchBrowser *browser = nullptr;
};

class CBatchCmdPage : public QWidget
{
    Q_OBJECT
  public:
    CBatchCmdPage(const CBatchPageEnv &env, int resourceId, QWidget *parent = nullptr);

    // Stores the controls into cmd; false (reported, focus on the field)
    // when a value is rejected. The base accepts without change.
    virtual bool GetCmdData(CBatchCmdData &cmd);
    // Shows cmd in the controls. The base shows nothing.
    virtual void SetCmdData(const CBatchCmdData &cmd);

  protected:
    // Reports the text in the status bar as a failure, puts the focus on
    // field (selecting an edit's text) and returns false.
    bool Reject(int stringId, QWidget *field);
    QLabel *Label(int stringId);
    QLineEdit *Edit(int id, int maxLength = 0);
    // An edit that takes digits only.
    QLineEdit *NumberEdit(int id);
    QComboBox *List(int id);
    // A colour swatch button that opens the colour dialog.
    CMyBtn *ColorButton(int id, int captionId);

    CBatchPageEnv m_env;
};

class CBatchCmdPageBlank : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPageBlank(const CBatchPageEnv &env, QWidget *parent = nullptr);
};

class CBatchCmdPageMode : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPageMode(const CBatchPageEnv &env, QWidget *parent = nullptr);
    bool GetCmdData(CBatchCmdData &cmd) override;
    void SetCmdData(const CBatchCmdData &cmd) override;

  private:
    QRadioButton *m_mode0;
    QRadioButton *m_mode1;
};

class CBatchCmdPageBaud : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPageBaud(const CBatchPageEnv &env, QWidget *parent = nullptr);
    bool GetCmdData(CBatchCmdData &cmd) override;
    void SetCmdData(const CBatchCmdData &cmd) override;

  private:
    QComboBox *m_list;
};

class CBatchCmdPagePicture : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPagePicture(const CBatchPageEnv &env, QWidget *parent = nullptr);
    bool GetCmdData(CBatchCmdData &cmd) override;
    void SetCmdData(const CBatchCmdData &cmd) override;

  private:
    // The send controls (file, aspect, colour) or the slot number.
    void ShowSendControls(bool send);

    QList<QWidget *> m_sendControls;
    QList<QWidget *> m_slotControls;
    QLineEdit *m_path;
    QCheckBox *m_keep;
    CMyBtn *m_color;
    QLineEdit *m_slot;
};

class CBatchCmdPageFont : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPageFont(const CBatchPageEnv &env, QWidget *parent = nullptr);
    bool GetCmdData(CBatchCmdData &cmd) override;
    void SetCmdData(const CBatchCmdData &cmd) override;

  private:
    QComboBox *m_size;
    QLineEdit *m_path;
};

class CBatchCmdPageText : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPageText(const CBatchPageEnv &env, QWidget *parent = nullptr);
    bool GetCmdData(CBatchCmdData &cmd) override;
    void SetCmdData(const CBatchCmdData &cmd) override;

  private:
    QComboBox *m_size;
    QLineEdit *m_text;
};

class CBatchCmdPageColor : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPageColor(const CBatchPageEnv &env, QWidget *parent = nullptr);
    bool GetCmdData(CBatchCmdData &cmd) override;
    void SetCmdData(const CBatchCmdData &cmd) override;

  private:
    CMyBtn *m_fore;
    CMyBtn *m_back;
};

class CBatchCmdPageAnchor : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPageAnchor(const CBatchPageEnv &env, QWidget *parent = nullptr);
    bool GetCmdData(CBatchCmdData &cmd) override;
    void SetCmdData(const CBatchCmdData &cmd) override;

  private:
    QLineEdit *m_name;
};

class CBatchCmdPageRepeat : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPageRepeat(const CBatchPageEnv &env, QWidget *parent = nullptr);
    bool GetCmdData(CBatchCmdData &cmd) override;
    void SetCmdData(const CBatchCmdData &cmd) override;

  private:
    QLineEdit *m_anchor;
    QLineEdit *m_prompt;
};

class CBatchCmdPagePause : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPagePause(const CBatchPageEnv &env, QWidget *parent = nullptr);
    bool GetCmdData(CBatchCmdData &cmd) override;
    void SetCmdData(const CBatchCmdData &cmd) override;

  private:
    QLineEdit *m_elapse;
};

class CBatchCmdPageSound : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPageSound(const CBatchPageEnv &env, QWidget *parent = nullptr);
    bool GetCmdData(CBatchCmdData &cmd) override;
    void SetCmdData(const CBatchCmdData &cmd) override;

  private:
    QLineEdit *m_path;
};

class CBatchCmdPageMessage : public CBatchCmdPage
{
    Q_OBJECT
  public:
    explicit CBatchCmdPageMessage(const CBatchPageEnv &env, QWidget *parent = nullptr);
    bool GetCmdData(CBatchCmdData &cmd) override;
    void SetCmdData(const CBatchCmdData &cmd) override;

  private:
    QLineEdit *m_text;
};

// The page class of a kind: the page resource id, 0 when the kind has none.
int PageResourceOf(int32_t kind);
// Makes the page of a resource id (nullptr for an unknown id).
CBatchCmdPage *MakePage(int resourceId, const CBatchPageEnv &env, QWidget *parent);

} // namespace BATCHCMD
