// The terminal's baud table: 13 rates with their one-byte codes.
#pragma once

#include <QString>
#include <QVector>
#include <cstdint>

struct CBaudRow {
    int rate;
    uint8_t code;
    int stringId;  // string-table entry whose text is the rate
};

// Rows in ascending rate order.
const CBaudRow *BaudTable();
int BaudTableSize();      // 13
int BaudShortListSize();  // 10: the rows up to 115200

// First row with the code; 0 when none.
int BaudCodeToRate(uint8_t code);
// First row with the rate; 0xFF when none.
uint8_t BaudRateToCode(int rate);
bool IsTableBaud(int rate);

struct CBaudItem {
    QString text;  // the rate's string-table text
    int rate;
};
// Rows whose rate is at most maxBaud, in table order.
QVector<CBaudItem> BaudListUpTo(int maxBaud);
// The short list (up to 115200) or the long list (all rows).
QVector<CBaudItem> BaudList(bool longList);
