// The device commands: connect, run one front-end operation, report.
#include "cli_context.h"
#include "link/front_end.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

// Connects, runs Execute and maps its result to the exit code.
class CDeviceCommand : public CCliCommand {
public:
    int Run(CCliContext &ctx) override
    {
        const int rc = ctx.ConnectTerminal();
        if (rc != EXIT_OK)
            return rc;
        return Execute(ctx);
    }

protected:
    // EXIT_OK, EXIT_FAILED, or EXIT_USAGE for a value the terminal rejects.
    virtual int Execute(CCliContext &ctx) = 0;

    static int Result(bool ok) { return ok ? EXIT_OK : EXIT_FAILED; }

};

class CCmdClear : public CDeviceCommand {
public:
    QString Name() const override { return QStringLiteral("clear"); }
    int SummaryId() const override { return IDS_CLI_CMD_CLEAR; }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override { return NeedArgs(ctx, args, 0); }
    int Execute(CCliContext &ctx) override { return Result(DevClearScreen(ctx.Terminal())); }
};

class CCmdBacklight : public CDeviceCommand {
public:
    QString Name() const override { return QStringLiteral("backlight"); }
    QString Synopsis() const override { return QStringLiteral("on|off|LEVEL"); }
    int SummaryId() const override { return IDS_CLI_CMD_BACKLIGHT; }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 1))
            return rc;
        const QString &v = args.Positionals()[0];
        if (v == QLatin1String("on"))
            m_level = LEVEL_ON;
        else if (v == QLatin1String("off"))
            m_level = LEVEL_OFF;
        else if (!ParseInt(v, &m_level) || m_level < 0)
            return BadValue(ctx, v);
        return EXIT_OK;
    }
    int Execute(CCliContext &ctx) override
    {
        CMyTerminal &t = ctx.Terminal();
        bool ok;
        if (m_level == LEVEL_ON || m_level == LEVEL_OFF) {
            ok = DevBacklight(t, m_level == LEVEL_ON);
        } else {
            const CDevInfo &info = t.Info();
            if (m_level < info.brightnessMin || m_level > info.brightnessMax)
                return ctx.Usage(FormatStr(IDS_CLI_BRIGHTNESS_INVALID, info.brightnessMin, info.brightnessMax));
            ok = DevSetBrightness(t, m_level);
        }
        // The backlight commands report nothing on success, as the menu does.
        if (!ok)
            ctx.Failure(LoadStr(IDS_CLI_BACKLIGHT_FAILED));
        return Result(ok);
    }

private:
    enum : int { LEVEL_ON = -1, LEVEL_OFF = -2 };
    int m_level = LEVEL_ON;
};

class CCmdColors : public CDeviceCommand {
public:
    QString Name() const override { return QStringLiteral("colors"); }
    QString Synopsis() const override { return QStringLiteral("FG BG"); }
    int SummaryId() const override { return IDS_CLI_CMD_COLORS; }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 2))
            return rc;
        for (int i = 0; i < 2; ++i)
            if (!ParseColor(args.Positionals()[i], &m_colors[i]))
                return BadValue(ctx, args.Positionals()[i]);
        return EXIT_OK;
    }
    int Execute(CCliContext &ctx) override { return Result(DevSetColors(ctx.Terminal(), m_colors[0], m_colors[1])); }

private:
    uint32_t m_colors[2] = {};
};

class CCmdText : public CDeviceCommand {
public:
    QString Name() const override { return QStringLiteral("text"); }
    QString Synopsis() const override { return QStringLiteral("[--font WxH] [--at X,Y] TEXT"); }
    int SummaryId() const override { return IDS_CLI_CMD_TEXT; }
    QVector<COptionDef> Options() const override
    {
        return {{QStringLiteral("font"), QChar(), true, QStringLiteral("WxH"), LoadStr(IDS_CLI_OPT_FONT)},
                {QStringLiteral("at"), QChar(), true, QStringLiteral("X,Y"), LoadStr(IDS_CLI_OPT_AT)}};
    }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (args.Positionals().isEmpty())
            return NeedArgs(ctx, args, 1);
        // Several words are one text, separated by blanks. An empty text is
        // a text too (position and terminator), though joining gives a null
        // string for it.
        m_text = args.Positionals().join(QLatin1Char(' '));
        if (m_text.isNull())
            m_text = QLatin1String("");
        if (args.Has(QStringLiteral("font")) &&
            !ParseSize(args.Value(QStringLiteral("font")), &m_fontWidth, &m_fontHeight))
            return BadValue(ctx, args.Value(QStringLiteral("font")));
        if (args.Has(QStringLiteral("at")) && !ParsePoint(args.Value(QStringLiteral("at")), &m_x, &m_y))
            return BadValue(ctx, args.Value(QStringLiteral("at")));
        return EXIT_OK;
    }
    int Execute(CCliContext &ctx) override
    {
        return Result(DevShowText(ctx.Terminal(), m_text, m_x, m_y, m_fontWidth, m_fontHeight));
    }

private:
    QString m_text;
    int m_fontWidth = 16;
    int m_fontHeight = 16;
    int m_x = 0;
    int m_y = 0;
};

class CCmdMode : public CDeviceCommand {
public:
    QString Name() const override { return QStringLiteral("mode"); }
    QString Synopsis() const override { return QStringLiteral("0|1"); }
    int SummaryId() const override { return IDS_CLI_CMD_MODE; }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 1))
            return rc;
        const QString &v = args.Positionals()[0];
        if (v != QLatin1String("0") && v != QLatin1String("1"))
            return BadValue(ctx, v);
        m_mode = v.toInt();
        return EXIT_OK;
    }
    int Execute(CCliContext &ctx) override { return Result(DevSetMode(ctx.Terminal(), m_mode)); }

private:
    int m_mode = 0;
};

class CCmdBaud : public CDeviceCommand {
public:
    QString Name() const override { return QStringLiteral("baud"); }
    QString Synopsis() const override { return QStringLiteral("RATE"); }
    int SummaryId() const override { return IDS_CLI_CMD_BAUD; }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 1))
            return rc;
        if (!ParseInt(args.Positionals()[0], &m_rate) || m_rate <= 0)
            return BadValue(ctx, args.Positionals()[0]);
        return EXIT_OK;
    }
    int Execute(CCliContext &ctx) override
    {
        // Only the rates the set-baud list offers for this terminal.
        if (!CheckBaudChoice(ctx.Terminal(), m_rate))
            return EXIT_USAGE;
        return Result(DevSetBaud(ctx.Terminal(), m_rate));
    }

private:
    int m_rate = 0;
};

// save, show and delete: one slot number.
class CSlotCommand : public CDeviceCommand {
public:
    QString Synopsis() const override { return QStringLiteral("SLOT"); }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 1))
            return rc;
        if (!ParseInt(args.Positionals()[0], &m_slot))
            return BadValue(ctx, args.Positionals()[0]);
        return EXIT_OK;
    }
    int Execute(CCliContext &ctx) override
    {
        if (!CheckSlot(ctx.Terminal(), m_slot))
            return EXIT_USAGE;
        return Result(RunSlot(ctx.Terminal(), m_slot));
    }

protected:
    virtual bool RunSlot(CMyTerminal &terminal, int slot) = 0;

private:
    int m_slot = 0;
};

class CCmdSave : public CSlotCommand {
public:
    QString Name() const override { return QStringLiteral("save"); }
    int SummaryId() const override { return IDS_CLI_CMD_SAVE; }
    bool RunSlot(CMyTerminal &terminal, int slot) override { return DevSavePicture(terminal, slot); }
};

class CCmdShow : public CSlotCommand {
public:
    QString Name() const override { return QStringLiteral("show"); }
    int SummaryId() const override { return IDS_CLI_CMD_SHOW; }
    bool RunSlot(CMyTerminal &terminal, int slot) override { return DevShowPicture(terminal, slot); }
};

class CCmdDelete : public CSlotCommand {
public:
    QString Name() const override { return QStringLiteral("delete"); }
    int SummaryId() const override { return IDS_CLI_CMD_DELETE; }
    bool RunSlot(CMyTerminal &terminal, int slot) override { return DevDeletePicture(terminal, slot); }
};

class CCmdDeleteAll : public CDeviceCommand {
public:
    QString Name() const override { return QStringLiteral("delete-all"); }
    int SummaryId() const override { return IDS_CLI_CMD_DELETE_ALL; }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override { return NeedArgs(ctx, args, 0); }
    int Execute(CCliContext &ctx) override { return Result(DevDeleteAllPictures(ctx.Terminal())); }
};

class CCmdTouch : public CDeviceCommand {
public:
    QString Name() const override { return QStringLiteral("touch"); }
    QString Synopsis() const override { return QStringLiteral("calibrate|experience|stop"); }
    int SummaryId() const override { return IDS_CLI_CMD_TOUCH; }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 1))
            return rc;
        const QString &v = args.Positionals()[0];
        if (v == QLatin1String("calibrate"))
            m_kind = TOUCH_CALIBRATE;
        else if (v == QLatin1String("experience"))
            m_kind = TOUCH_EXPERIENCE;
        else if (v == QLatin1String("stop"))
            m_kind = TOUCH_STOP;
        else
            return BadValue(ctx, v);
        return EXIT_OK;
    }
    int Execute(CCliContext &ctx) override { return Result(DevTouch(ctx.Terminal(), m_kind)); }

private:
    int m_kind = TOUCH_CALIBRATE;
};

} // namespace

std::vector<std::unique_ptr<CCliCommand>> MakeDeviceCommands()
{
    std::vector<std::unique_ptr<CCliCommand>> list;
    list.push_back(std::make_unique<CCmdClear>());
    list.push_back(std::make_unique<CCmdBacklight>());
    list.push_back(std::make_unique<CCmdColors>());
    list.push_back(std::make_unique<CCmdText>());
    list.push_back(std::make_unique<CCmdMode>());
    list.push_back(std::make_unique<CCmdBaud>());
    list.push_back(std::make_unique<CCmdSave>());
    list.push_back(std::make_unique<CCmdShow>());
    list.push_back(std::make_unique<CCmdDelete>());
    list.push_back(std::make_unique<CCmdDeleteAll>());
    list.push_back(std::make_unique<CCmdTouch>());
    return list;
}
