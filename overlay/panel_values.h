#pragma once

#include <string>
#include <string_view>

#include "overlay/overlay_records.h"

// The arithmetic behind the overlay panel's number fields, kept apart from the
// widgets so it can be checked on its own.

// The decimal integer a text starts with: leading white space skipped, an
// optional sign, then digits up to the first non-digit. No leading number
// gives 0; a number beyond the int range saturates at its limit.
int leadingInteger(std::string_view text);

// `value` pulled into [lowerBound, upperBound]; the lower bound wins should
// the two ever cross.
int clampToBounds(int value, int lowerBound, int upperBound);

// The text a number field shows for a value ("%d": minus sign, no padding).
std::string valueText(int value);

// Every text field written again from its numeric value.
void writeTextsFromValues(OverlayRecords& records);

// What an edit of one number field does to the records: the field's text is
// read as a number, clamped to the value's bounds and stored as the value,
// and the text becomes the canonical form of that value.
void settleFieldText(OverlayRecords& records, NumericValue value);
