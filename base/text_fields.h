// The '#'-ended number lists of the value types' text forms ("1.000#2.5#").
#pragma once

#include <string>
#include <vector>

// The fields of text, each ended by '#'; text after the last '#' is no field.
// A null text has no fields.
std::vector<std::string> hash_ended_fields(const char* text);

// Converts the first capacity fields with the standard decimal conversion into
// values, leaving the rest of values untouched; returns the number of fields.
int read_hash_ended_numbers(const char* text, double* values, int capacity);
