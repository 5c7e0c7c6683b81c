#pragma once

// Dates as days since 30 December 1899 with the time as the fraction. The
// short date format is fixed to "dd.mm.yyyy".

#include <string>

using TDateTime = double;

TDateTime Now();
TDateTime Date();
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& millisecond);
std::string DateToStr(TDateTime date);
std::string TimeToStr(TDateTime time);  // "hh:mm:ss"
