#include "command_line.h"

#include <cmath>
#include <cstdlib>
#include <iostream>

#include "CLI/CLI.hpp"
#include "common/limits.h"
#include "button_names.h"
#include "number_text.h"
#include "scenario.h"

namespace {

// The texts of the options whose values are read after parsing, so that every refusal says the
// same kind of thing in the same words.
struct OptionTexts {
    std::string frames, latitude, longitude, heading, speed, altitude, windSpeed, windFrom,
        variation, destination, closeAfter, timeRate;
    std::vector<std::string> clicks;
};

struct Refusal {
    std::string message;
};

double numberOption(const std::string& name, const std::string& text, double low, double high,
                    bool whole) {
    double value = 0;
    if (!readNumberText(text, low, high, whole, value))
        throw Refusal{"option " + name + ": '" + text + "' is not " +
                      (whole ? "a whole number" : "a number") + " from " + numberText(low) +
                      " to " + numberText(high)};
    return value;
}

double coordinateOption(const std::string& name, const std::string& text, bool latitude) {
    double degrees = 0;
    CoordinateRead read = readCoordinate(text, latitude, degrees);
    if (read == CoordinateRead::notCoordinate)
        throw Refusal{"option " + name + ": '" + text + "' is not a " +
                      (latitude ? "latitude" : "longitude") + " (degrees like " +
                      (latitude ? "41.7868 or \"N41 47 12.5\")" : "-87.7522 or \"W87 45 08\")")};
    if (read == CoordinateRead::outOfRange)
        throw Refusal{"option " + name + ": '" + text + "' is beyond " +
                      numberText(coordinateLimit(latitude)) + " degrees"};
    return degrees;
}

// Each option's place in the rule of what is flown, said once where the option is made.
struct OptionRoles {
    std::vector<const CLI::Option*> start;      // a free flight's start: also in the window
    std::vector<const CLI::Option*> freeFlight; // a free flight without the window
    std::vector<const CLI::Option*> window;     // the live window only
};

const CLI::Option* firstGiven(const std::vector<const CLI::Option*>& options) {
    for (const CLI::Option* option : options)
        if (option->count() > 0)
            return option;
    return nullptr;
}

void readWindow(const OptionTexts& t, const OptionRoles& roles, HostOptions& o) {
    if (!o.window) {
        if (const CLI::Option* given = firstGiven(roles.window))
            throw Refusal{"option " + given->get_name() + " is for the live window (--window)"};
        return;
    }
    if (!t.closeAfter.empty())
        o.closeAfter = numberOption("--close-after", t.closeAfter, 1, longestFlightSeconds, false);
    if (!t.timeRate.empty()) {
        o.timeRate = static_cast<int>(numberOption("--time-rate", t.timeRate, 1, 16, true));
        if (o.timeRate != 1 && o.timeRate != 4 && o.timeRate != 16)
            throw Refusal{"option --time-rate: '" + t.timeRate + "' is not 1, 4 or 16"};
    }
    // The window flies until it is closed and shows what these would write.
    if (const CLI::Option* given = firstGiven(roles.freeFlight))
        throw Refusal{"option " + given->get_name() +
                      " is for a flight without the window; in the window, click and fly "
                      "yourself or give a scenario"};
}

// IDENT,NAME,LAT,LON as the settings dialog would leave it.
HandedAirport readHandedAirport(const std::string& text) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t comma; (comma = text.find(',', from)) != std::string::npos; from = comma + 1)
        parts.push_back(text.substr(from, comma - from));
    parts.push_back(text.substr(from));
    double latitude = 0, longitude = 0;
    if (parts.size() != 4 || parts[0].empty() || parts[0].size() > 5 || parts[1].size() > 25 ||
        readCoordinate(parts[2], true, latitude) != CoordinateRead::read ||
        readCoordinate(parts[3], false, longitude) != CoordinateRead::read)
        throw Refusal{"option --destination: '" + text +
                      "' is not IDENT,NAME,LAT,LON (ident up to 5 characters, name up to 25)"};
    return {true, parts[0], parts[1], latitude, longitude};
}

// LABEL@FRAME as a press at the start of that frame. A DLG or INF press opens a dialog that
// nobody works: the settings dialog is cancelled at once, so that the database and the
// destination stay as they were, and the About box closed with OK.
ScenarioClick readClick(const std::string& text, long frames) {
    size_t at = text.rfind('@');
    std::string label = at == std::string::npos ? "" : text.substr(0, at);
    double frame = 0;
    if (buttonIndex(label) < 0 || !readNumberText(text.substr(at + 1), 0, 1e7, true, frame))
        throw Refusal{"option --click: '" + text +
                      "' is not LABEL@FRAME with a label of + - DLG INF AP Prev Next"};
    if (frame >= static_cast<double>(frames))
        throw Refusal{"option --click: '" + text + "' comes after the last frame (" +
                      std::to_string(frames - 1) + ")"};
    ScenarioClick click{};
    click.at = frame / freeFlightFrameRate;
    click.button = label;
    if (opensSettingsDialog(label) || opensAboutBox(label))
        click.close = {opensSettingsDialog(label) ? "Cancel" : "OK"};
    click.timeLimit = defaultDialogTimeLimit;
    click.name = "--click " + text;
    return click;
}

// The free flight as a scenario: the start options' aircraft, flown for --frames (in the window
// until it is closed), pressing the --click buttons, with the --destination handed over.
void buildFreeFlight(const OptionTexts& t, HostOptions& o) {
    Scenario& f = o.flight;
    Aircraft& a = f.aircraft;
    a.latitude = 41.7868; // Chicago Midway
    a.longitude = -87.7522;
    a.heading = 360;
    a.altitude = 620;
    long frames = 300;
    if (!t.frames.empty())
        frames = static_cast<long>(numberOption("--frames", t.frames, 1, 1e7, true));
    if (!t.latitude.empty())
        a.latitude = coordinateOption("--latitude", t.latitude, true);
    if (!t.longitude.empty())
        a.longitude = coordinateOption("--longitude", t.longitude, false);
    if (!t.heading.empty())
        a.heading = numberOption("--heading", t.heading, 0, 360, false);
    if (!t.speed.empty())
        a.airspeed = numberOption("--speed", t.speed, 0, 2000, false);
    if (!t.altitude.empty())
        a.altitude = numberOption("--altitude", t.altitude, -1500, highestAltitudeFeet, false);
    if (!t.windSpeed.empty())
        a.windSpeed = numberOption("--wind-speed", t.windSpeed, 0, 300, false);
    if (!t.windFrom.empty())
        a.windDirection = numberOption("--wind-from", t.windFrom, 0, 360, false);
    if (!t.variation.empty())
        a.variation = numberOption("--variation", t.variation, -180, 180, false);
    for (const std::string& click : t.clicks)
        f.clicks.push_back(readClick(click, frames));
    if (!t.destination.empty())
        f.handed = readHandedAirport(t.destination);
    f.frameRate = freeFlightFrameRate;
    f.duration =
        o.window ? longestFlightSeconds : static_cast<double>(frames) / freeFlightFrameRate;
}

// Which flight the options ask for. A scenario sets everything a free flight's options would:
// given beside one, they would be silently overruled.
void chooseFlight(const OptionTexts& t, const OptionRoles& roles, HostOptions& o) {
    const CLI::Option* freeOption = firstGiven(roles.start);
    if (!freeOption)
        freeOption = firstGiven(roles.freeFlight);
    if (o.scenario.empty()) {
        o.source = freeOption ? FlightSource::options : FlightSource::builtInFile;
        if (freeOption)
            buildFreeFlight(t, o);
        return;
    }
    o.source = FlightSource::file;
    if (freeOption)
        throw Refusal{"option " + freeOption->get_name() +
                      " is for a flight without a scenario; the scenario file '" + o.scenario +
                      "' sets this itself"};
}

const char* const footer = R"(
Units: latitude and longitude in degrees, north and east positive, or as text such as
"N41 47 10.5" or 41°47'10"N; heading degrees magnetic; speeds knots; altitude feet; variation
degrees east positive (magnetic = true - variation). The aircraft flies at 18 frames a simulated
second and obeys the gauge's autopilot events.

With a scenario, everything goes into the --out folder: panel.png, frames/, flight.gif,
track.png, flight-log.csv, key-events.csv and TarvixDb.dat, and for a scenario whose steps work
the settings dialog or the About box, dialog-steps.log and the steps' pictures. Exit code 0 when
the run did what it was asked, 1 when an input was refused, a dialog step failed or an output
could not be written.)";

// The options that every run takes.
void declareGeneralOptions(CLI::App& app, HostOptions& o) {
    app.add_option("scenario,--scenario", o.scenario,
                   "a scenario file (JSON, see the README) to fly; without one and without "
                   "free-flight options, scenarios/lake-michigan.json beside this program")
        ->type_name("FILE");
    app.add_option("--gauge", o.gauge,
                   "the gauge module (default: Tarvix42.gau beside this program)")
        ->type_name("PATH");
    app.add_option("--out", o.out, "the folder for everything written (default: the current one)")
        ->type_name("DIR");
    // For front ends such as ./tarvix: their own default folder, and the folder used printed
    // as the last line of a run that flew.
    app.add_option("--default-out", o.defaultOut)->group("");
    app.add_flag("--all-key-events", o.allKeyEvents,
                 "log every key event the gauge sends, not only those that change something");
}

// A free flight's options: where it starts (also the live window's start) and what it does.
void declareFreeFlightOptions(CLI::App& app, HostOptions& o, OptionTexts& t, OptionRoles& roles) {
    const char* free = "Free flight (without a scenario)";
    auto start = [&](CLI::Option* option) { roles.start.push_back(option->group(free)); };
    auto freeOnly = [&](CLI::Option* option) { roles.freeFlight.push_back(option->group(free)); };
    freeOnly(app.add_option("--frames", t.frames, "frames to fly (default 300)")->type_name("N"));
    start(
        app.add_option("--latitude", t.latitude, "start latitude (default 41.7868, Chicago Midway)")
            ->type_name("DEG"));
    start(app.add_option("--longitude", t.longitude, "start longitude (default -87.7522)")
              ->type_name("DEG"));
    start(app.add_option("--heading", t.heading, "heading, degrees magnetic (default 360)")
              ->type_name("DEG"));
    start(app.add_option("--speed", t.speed, "airspeed, knots (default 0)")->type_name("KNOTS"));
    start(app.add_option("--altitude", t.altitude, "altitude, feet (default 620)")
              ->type_name("FEET"));
    start(app.add_option("--wind-speed", t.windSpeed, "wind speed, knots (default 0)")
              ->type_name("KNOTS"));
    start(app.add_option("--wind-from", t.windFrom, "where the wind blows from, degrees magnetic")
              ->type_name("DEG"));
    start(app.add_option("--variation", t.variation, "magnetic variation, degrees east (default 0)")
              ->type_name("DEG"));
    freeOnly(app.add_option("--destination", t.destination,
                            "an airport destination handed to the dialog library, as the settings "
                            "dialog would (ident up to 5 characters, name up to 25)")
                 ->type_name("IDENT,NAME,LAT,LON"));
    freeOnly(app.add_option("--click", t.clicks,
                            "press + - DLG INF AP Prev or Next before that frame (repeatable)")
                 ->type_name("LABEL@FRAME")
                 ->allow_extra_args(false));
    freeOnly(
        app.add_option("--picture", o.picture, "the panel picture (default: panel.png in --out)")
            ->type_name("FILE.png"));
    freeOnly(app.add_option("--events", o.events, "write the key events, with their frames")
                 ->type_name("FILE.csv"));
}

// The live window's options.
void declareWindowOptions(CLI::App& app, HostOptions& o, OptionTexts& t, OptionRoles& roles) {
    const char* live = "The live panel window";
    app.add_flag("--window", o.window,
                 "fly in a window that shows the panel as the simulator does: click its buttons, "
                 "fly by hand with the arrow keys and PgUp/PgDn while the autopilot is off, Space "
                 "pauses, 1/2/3 run the clock at 1, 4 or 16 times; closing it ends the run")
        ->group(live);
    auto windowOnly = [&](CLI::Option* option) { roles.window.push_back(option->group(live)); };
    windowOnly(app.add_option("--close-after", t.closeAfter,
                              "close the window after this many simulated seconds")
                   ->type_name("SECONDS"));
    windowOnly(app.add_option("--window-picture", o.windowPicture,
                              "write a picture of the whole window as it closes")
                   ->type_name("FILE.png"));
    windowOnly(
        app.add_option("--time-rate", t.timeRate, "the clock's rate at the start: 1, 4 or 16")
            ->type_name("N"));
}

} // namespace

bool readNumberText(const std::string& text, double low, double high, bool whole, double& out) {
    // strtod alone takes "inf", "nan", hexadecimal and leading blanks.
    size_t digits = text.find_first_of("0123456789");
    if (digits == std::string::npos || text.find_first_not_of("+-.0123456789eE") != text.npos)
        return false;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value) || value < low || value > high ||
        (whole && value != std::floor(value)))
        return false;
    out = value;
    return true;
}

CommandLine parseCommandLine(int argc, char** argv, HostOptions& o, std::string& error) {
    o = HostOptions{};
    o.timeRate = 1;
    OptionTexts t;
    OptionRoles roles;
    CLI::App app{"Flies the Tarvix gauge (Tarvix42.gau) in a stand-in for the simulator's panel "
                 "system and writes what the pilot would see.",
                 "tarvix-host"};
    app.footer(footer);
    app.allow_extras();
    // Unix paths reach the program under Wine as they are: one that starts with "/" names a
    // file, not an option.
    app.allow_windows_style_options(false);
    declareGeneralOptions(app, o);
    declareFreeFlightOptions(app, o, t, roles);
    declareWindowOptions(app, o, t, roles);
    try {
        app.parse(argc, argv);
        for (const std::string& extra : app.remaining()) {
            if (!extra.empty() && extra[0] == '-')
                throw Refusal{"unknown option " + extra + " (tarvix-host --help lists them)"};
            throw Refusal{"unexpected argument '" + extra + "': one scenario file at most"};
        }
        readWindow(t, roles, o);
        chooseFlight(t, roles, o);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return CommandLine::helpShown;
    } catch (const CLI::ArgumentMismatch& e) {
        std::string what = e.what();
        error = "option " + what.substr(0, what.find(':')) + " needs a value";
        return CommandLine::refused;
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return CommandLine::refused;
    } catch (const Refusal& refusal) {
        error = refusal.message;
        return CommandLine::refused;
    }
    return CommandLine::run;
}

std::vector<CommandLineOption> commandLineOptions() {
    HostOptions o{};
    OptionTexts t;
    OptionRoles roles;
    CLI::App app;
    declareGeneralOptions(app, o);
    declareFreeFlightOptions(app, o, t, roles);
    declareWindowOptions(app, o, t, roles);
    std::vector<CommandLineOption> options;
    for (const CLI::Option* option : app.get_options()) {
        const bool takesValue = option->get_expected_max() != 0;
        for (const std::string& name : option->get_lnames())
            options.push_back({"--" + name, takesValue});
        for (const std::string& name : option->get_snames())
            options.push_back({"-" + name, takesValue});
    }
    return options;
}
