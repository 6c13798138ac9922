// info: connect and print the device information.
#include "cli_context.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

class CCmdInfo : public CCliCommand {
public:
    QString Name() const override { return QStringLiteral("info"); }
    int SummaryId() const override { return IDS_CLI_CMD_INFO; }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (!args.Positionals().isEmpty())
            return ctx.Usage(FormatStr(IDS_CLI_TOO_MANY_ARGS, qUtf8Printable(args.Positionals().first())));
        return EXIT_OK;
    }
    int Run(CCliContext &ctx) override
    {
        const int rc = ctx.ConnectTerminal();
        if (rc != EXIT_OK)
            return rc;
        CMyTerminal &t = ctx.Terminal();
        const CDevInfo &info = t.Info();
        const bool modeCapable = t.IsModeCapable();
        const QJsonValue mode = modeCapable ? QJsonValue(t.IsMode1() ? 1 : 0) : QJsonValue(QJsonValue::Null);

        struct Row {
            const char *key;
            int label;
            QJsonValue value;
        };
        const Row rows[] = {
            {"port", IDS_CLI_INFO_PORT, ctx.Connected().path},
            // A network bridge keeps its own line rate: the one asked for is
            // not known to be the line's.
            {"baud", IDS_CLI_INFO_BAUD,
             t.IsNetworkLink() ? QJsonValue(QJsonValue::Null) : QJsonValue(ctx.Connected().rate)},
            {"version_major", IDS_CLI_INFO_VERSION_MAJOR, info.versionMajor},
            {"version_minor", IDS_CLI_INFO_VERSION_MINOR, info.versionMinor},
            {"version_text", IDS_CLI_INFO_VERSION_TEXT, info.versionText},
            {"width", IDS_CLI_INFO_WIDTH, info.width},
            {"height", IDS_CLI_INFO_HEIGHT, info.height},
            {"bits_per_pixel", IDS_CLI_INFO_BPP, info.bitsPerPixel},
            {"pixel_format", IDS_CLI_INFO_PIXEL_FORMAT, info.pixelFormat},
            {"max_pictures", IDS_CLI_INFO_MAX_PICTURES, info.maxPictures},
            {"max_baud", IDS_CLI_INFO_MAX_BAUD, info.maxBaud},
            {"terminal_baud", IDS_CLI_INFO_TERMINAL_BAUD, info.baud},
            {"brightness_min", IDS_CLI_INFO_BRIGHTNESS_MIN, info.brightnessMin},
            {"brightness_max", IDS_CLI_INFO_BRIGHTNESS_MAX, info.brightnessMax},
            {"hard_font", IDS_CLI_INFO_HARD_FONT, info.hardFont != 0},
            {"legacy", IDS_CLI_INFO_LEGACY, info.legacy != 0},
            {"mode_capable", IDS_CLI_INFO_MODE_CAPABLE, modeCapable},
            {"mode", IDS_CLI_INFO_MODE, mode},
            {"read_tries", IDS_CLI_INFO_READ_TRIES, t.readTries},
        };
        if (ctx.json) {
            QJsonObject o;
            for (const Row &r : rows)
                o.insert(QLatin1String(r.key), r.value);
            ctx.PrintJson(o);
            return EXIT_OK;
        }
        for (const Row &r : rows) {
            QString text;
            if (r.value.isBool())
                text = LoadStr(r.value.toBool() ? IDS_CLI_YES : IDS_CLI_NO);
            else if (r.value.isNull())
                text = QStringLiteral("-");
            else if (r.value.isString())
                text = r.value.toString();
            else if (r.label == IDS_CLI_INFO_PIXEL_FORMAT)
                text = QStringLiteral("0x%1").arg(r.value.toInt(), 0, 16).toUpper().replace(QLatin1String("0X"),
                                                                                            QLatin1String("0x"));
            else
                text = QString::number(r.value.toInt());
            ctx.Console().Data(FormatStr(IDS_CLI_LABELLED, qUtf8Printable(LoadStr(r.label)), qUtf8Printable(text)));
        }
        return EXIT_OK;
    }
};

} // namespace

std::unique_ptr<CCliCommand> MakeInfoCommand()
{
    return std::make_unique<CCmdInfo>();
}
