// The IGES file: converts the line records of a line export (two text lines per segment: "COLOUR
// LABEL", then "110 x1 y1 z1 x2 y2 z2") into an IGES file of line entities (type 110) with start,
// global, directory-entry, parameter-data and terminate sections in 80-column records.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct IgesHeader {
    std::string senderProductId;
    std::string fileName;
    std::string nativeSystemId = "MERIDYN";
    std::string preprocessorVersion = "1.0";
    int integerBits = 16;
    int singleMagnitude = 35, singleDigits = 8;
    int doubleMagnitude = 307, doubleDigits = 15;
    std::string receiverProductId;
    double modelScale = 1.0;
    int unitFlag = 1;
    std::string unitName = "INCH";
    int lineWeightGradations = 1;
    double maxLineWeight = 1.0;
    std::string date = "881130.163000";
    double minResolution = 0.00001;
    double maxCoordinate = 100000.0;
    std::string author = "Prof. X Y Zed";
    std::string organisation = "Harbor Inst. of Kite Design";
    int versionFlag = 4;
    int draftingStandard = 0;
};

struct IgesState {
    IgesHeader header;
    int sCount = 0, gCount = 0, dCount = 0, pCount = 0;
    std::string intermediateFile; // the line records to convert
    std::string outputDirectory;  // where the IGES file goes (empty: the current directory)
    std::string outputName = "output.igs";
    std::string parameterText; // the P section while a conversion runs
    std::string outputText;    // the S, G and D sections while a conversion runs
};

IgesState& igesState();
// Restores the default header texts and names and clears the counters.
void resetIgesState();

// Converts the intermediate file into the IGES file (outputDirectory/outputName), which appears
// whole; the intermediate file is deleted afterwards. 1 written, 0 after its error.
int writeIgesFile();
// Stamps the date and starts the output with the start and global sections.
bool openIgesOutput();
void writeIgesGlobalSection();
// One line entity: its parameter record(s) and its two directory records.
void writeIgesLine(double x1, double y1, double z1, double x2, double y2, double z2,
                   const std::string& label, int colour);
void writeIgesDirectoryEntry(int parameterPointer, int parameterLines, const std::string& label,
                             int colour);
// The text left-justified in columns 1-72, the section letter, the 7-digit sequence number.
std::string igesRecord(const std::string& text, char letter, int number);
// "nHtext" with n the characters written (at most 80); a text of 0 or 1 characters is " " (a
// field left to its default), unless `keepSingle` keeps a one-character text ("1HM").
std::string igesHollerith(const std::string& text, bool keepSingle = false);
// yymmdd.hhmmss of now.
std::string igesDateStamp();
// The unit flag and name of a unit index (0 cm, 1 mm, 2 inches, 3 meters).
void igesUnits(int unitIndex, int& flag, std::string& name);
// The parameter text of a line entity cut into data lines of at most 64 columns, breaking only
// after a delimiter.
std::string igesLineParameters(double x1, double y1, double z1, double x2, double y2, double z2);
// Removes the leading zeros of every exponent (E+010 -> E+10, E-005 -> E-5).
std::string compactExponents(const std::string& text);
// Splits parameter text into pieces of at most `width` columns, each ending just after a
// delimiter ("," or ";") where the text must be broken.
std::vector<std::string> splitParameters(const std::string& text, std::size_t width);
