// The doctor's report as text for a person and as JSON for a bug report or a script.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "doctor_report.h"

std::string RenderDoctorText(const DoctorReport& report);
nlohmann::ordered_json DoctorToJson(const DoctorReport& report);
