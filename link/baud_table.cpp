#include "link/baud_table.h"

#include "res/strings.h"

namespace {

const CBaudRow kBaudTable[] = {
    {1200, 0x00, IDS_BAUD_1200},     {2400, 0x01, IDS_BAUD_2400},     {4800, 0x02, IDS_BAUD_4800},
    {9600, 0x03, IDS_BAUD_9600},     {14400, 0x04, IDS_BAUD_14400},   {19200, 0x05, IDS_BAUD_19200},
    {38400, 0x06, IDS_BAUD_38400},   {56000, 0x07, IDS_BAUD_56000},   {57600, 0x08, IDS_BAUD_57600},
    {115200, 0xFF, IDS_BAUD_115200}, {230400, 0x8B, IDS_BAUD_230400}, {460800, 0x8D, IDS_BAUD_460800},
    {921600, 0x8F, IDS_BAUD_921600},
};

constexpr int kRows = static_cast<int>(sizeof(kBaudTable) / sizeof(kBaudTable[0]));

} // namespace

const CBaudRow *BaudTable()
{
    return kBaudTable;
}

int BaudTableSize()
{
    return kRows;
}

int BaudShortListSize()
{
    return 10;
}

int BaudCodeToRate(uint8_t code)
{
    for (const CBaudRow &row : kBaudTable)
        if (row.code == code)
            return row.rate;
    return 0;
}

uint8_t BaudRateToCode(int rate)
{
    for (const CBaudRow &row : kBaudTable)
        if (row.rate == rate)
            return row.code;
    return 0xFF;
}

bool IsTableBaud(int rate)
{
    for (const CBaudRow &row : kBaudTable)
        if (row.rate == rate)
            return true;
    return false;
}

QVector<CBaudItem> BaudListUpTo(int maxBaud)
{
    QVector<CBaudItem> items;
    for (const CBaudRow &row : kBaudTable)
        if (row.rate <= maxBaud)
            items.push_back({LoadStr(row.stringId), row.rate});
    return items;
}

QVector<CBaudItem> BaudList(bool longList)
{
    QVector<CBaudItem> items;
    const int rows = longList ? kRows : BaudShortListSize();
    for (int i = 0; i < rows; ++i)
        items.push_back({LoadStr(kBaudTable[i].stringId), kBaudTable[i].rate});
    return items;
}
