#include "files/cabinet_file.h"

#include <algorithm>

#include "platform/core/message_box.h"

namespace vendrel {

namespace {

// Raises unless the reader stands Offset bytes into the block that began at Start: the layout of a
// raw image is fixed, and a slip here would shift every later field.
void expectOffset(const TLibraryReader& r, size_t Start, size_t Offset) {
    if (r.Position() - Start != Offset) {
        throw ELibraryFileError("Cabinet block layout at offset " + std::to_string(Offset));
    }
}

void readDoubles(TLibraryReader& r, std::initializer_list<double*> fields) {
    for (double* f : fields) {
        *f = r.F64();
    }
}

void readInts(TLibraryReader& r, std::initializer_list<int32_t*> fields) {
    for (int32_t* f : fields) {
        *f = r.I32();
    }
}

void readBools(TLibraryReader& r, std::initializer_list<bool*> fields) {
    for (bool* f : fields) {
        *f = r.Bool8();
    }
}

std::vector<double> readAngles(TLibraryReader& r, int32_t count, const char* what) {
    std::vector<double> v(r.Count(count, 8, what));
    for (double& a : v) {
        a = r.F64();
    }
    return v;
}

std::vector<std::string> readNames(TLibraryReader& r, int32_t count, const char* what) {
    std::vector<std::string> v(r.Count(count, 26, what));
    for (std::string& s : v) {
        s = r.ShortString(25);
    }
    return v;
}

std::vector<uint8_t> readByteList(TLibraryReader& r, int32_t count) {
    return r.Bytes(count);
}

std::vector<float> readFloats(TLibraryReader& r, size_t count) {
    std::vector<float> v(count);
    for (float& f : v) {
        f = r.F32();
    }
    return v;
}

rOriginCenterPoint readOriginCenterPoint(TLibraryReader& r) {
    rOriginCenterPoint p;
    p.X = r.F64();
    p.Y = r.F64();
    p.Z = r.F64();
    p.Name = r.ShortString(25);
    r.Skip(64);
    return p;
}

rSourcePoint readSourcePoint(TLibraryReader& r) {
    rSourcePoint p;
    readDoubles(r, {&p.SpeakerInchSize, &p.RotationRadRelX, &p.RotationRadRelY, &p.RotationRadRelZ,
                    &p.SourceCenterX, &p.SourceCenterY, &p.SourceCenterZ});
    p.PolarID = r.I32();
    p.SourceName = r.ShortString(25);
    r.Skip(64);
    return p;
}

rPolarData readPolarData(TLibraryReader& r, size_t points) {
    rPolarData d;
    d.DegAzimuth = r.F32();
    d.DegElevation = r.F32();
    d.MagnitudePerFreq = readFloats(r, points);
    d.PhasePerFreq = readFloats(r, points);
    for (uint8_t& b : d.NewData) {
        b = r.U8();
    }
    return d;
}

rPolar readPolarSet(TLibraryReader& r, int32_t index, const rWDXStaticDataFile& s, size_t points) {
    rPolar set;
    set.PolarProperties = std::make_unique<TPolarProperties>(index, s.NFreqPoints);
    TPolarProperties& p = *set.PolarProperties;
    p.SetLowFreqCutoff(r.I32());
    p.SetHiFreqCutoff(r.I32());
    p.SetName(r.ShortString(25));
    p.SetFileType(static_cast<TMeasureSystemBrand>(r.U8()));
    p.SetID(r.I32());
    p.SetMaxDbuSPL(r.F32());
    p.SetNPeqs(r.U8());
    if (p.NPeqs() > 4) {
        throw ELibraryFileError("Polar set with " + std::to_string(p.NPeqs()) + " equaliser entries");
    }
    if (p.NPeqs() == 0) {
        r.Skip(28);
    }
    std::array<bool, 4> active{};
    std::array<uint8_t, 4> peqType{};
    std::array<uint16_t, 4> freq{};
    std::array<uint8_t, 4> q{};
    std::array<int16_t, 4> gain{};
    for (size_t i = 0; i < p.NPeqs(); ++i) {
        active[i] = r.Bool8();
        peqType[i] = r.U8();
        freq[i] = r.U16();
        q[i] = r.U8();
        gain[i] = r.I16();
    }
    p.SetActive(active);
    p.SetPeqType(peqType);
    p.SetFreq(freq);
    p.SetQ(q);
    p.SetGain(gain);
    p.SetSensitivityOneWOneM(r.F32());
    p.SetPowerMax(r.F32());
    p.SetFFTStartFreq(r.I32());
    if (p.FFTStartFreq() == 0) {
        p.SetFFTStartFreq(20);
    }
    p.SetDistanceToMic_meters(r.F32());
    p.SetPhaseCompensated(r.Bool8());
    std::array<bool, 18> newData{};
    for (bool& b : newData) {
        b = r.Bool8();
    }
    p.SetNewData(newData);
    set.PhaseRef = r.F64();
    const size_t pointBytes = 16 + 8 * points;
    const size_t slices = r.Count(s.NPolarSlices, 0, "polar slices");
    const size_t measures = r.Count(s.NPolarMeasures, 0, "polar measures");
    // Slices are allocated even when they hold no measures, so they count as at least one point each.
    r.Count(static_cast<int64_t>(slices) * static_cast<int64_t>(std::max<size_t>(measures, 1)), pointBytes,
            "polar points");
    set.PolarData.resize(slices);
    for (auto& slice : set.PolarData) {
        slice.reserve(measures);
        for (size_t a = 0; a < measures; ++a) {
            slice.push_back(readPolarData(r, points));
        }
    }
    r.Skip(64);
    return set;
}

rTransferFunction readTransferFunction(TLibraryReader& r, size_t points, int32_t majorVersion) {
    rTransferFunction t;
    t.LinReferenceSpl = r.F32();
    t.MaxSpl = r.F32();
    t.OffsetSpl = r.F32();
    t.IsLoaded = r.Bool8();
    t.FileName = r.ShortString(majorVersion >= 4 ? 50 : 25);
    t.MagnitudePerFreq = readFloats(r, points);
    t.PhasePerFreq = readFloats(r, points);
    t.DelaySamples = r.I32();
    if (majorVersion >= 4) {
        t.IsDelayIncludedinPhase = r.Bool8();
    } else {
        t.OffsetSpl = 0;
    }
    r.Skip(3);
    return t;
}

rPresetTranferF readPreset(TLibraryReader& r, size_t points, int32_t majorVersion) {
    rPresetTranferF p;
    p.Name = r.ShortString(22);
    p.Info = r.ShortString(200);
    p.NSources = r.I32();
    const size_t tfBytes = (majorVersion >= 4 ? 72 : 46) + 8 * points;
    p.EQTransferFunction.resize(r.Count(p.NSources, tfBytes, "preset transfer functions"));
    for (rTransferFunction& t : p.EQTransferFunction) {
        t = readTransferFunction(r, points, majorVersion);
    }
    p.TypeIndex = r.I32();
    r.Skip(124);
    return p;
}

// A source path: blanks and control characters cut from both ends.
std::string trimmed(std::string s) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!s.empty() && blank(s.back())) {
        s.pop_back();
    }
    size_t i = 0;
    while (i < s.size() && blank(s[i])) {
        ++i;
    }
    return s.substr(i);
}

// The two version questions; false when the file is not to be read.
bool acceptVersion(const rWDXHeaderFile& h, const std::string& SoftwareName) {
    if ((h.FileMajorVer == 5 && h.FileMinorVer == 0) || SoftwareName != kLibrarySoftType) {
        return true;
    }
    IMessageBox& box = MessageBoxService();
    if (h.FileMajorVer < 3) {
        const std::string text = "You are trying to open an older File v" + std::to_string(h.MajorVersion) +
                                 "." + std::to_string(h.MinorVersion) + "\r\n" +
                                 "This software works with v5.0" + "\r\n" + "Do you want to try it anayway?";
        if (box.MessageDlg(text, TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) !=
            TModalResult::mrYes) {
            return false;
        }
    }
    if (h.FileMajorVer > 5 || (h.FileMajorVer == 5 && h.FileMinorVer > 0)) {
        box.MessageDlg(
            "You are trying to open a file created with a higher software version. File version is v" +
                std::to_string(h.FileMajorVer) + "\r\n" + "This software open File versions up to v5" +
                "\r\n" + "The file cannot be opened.",
            TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK});
        return false;
    }
    return true;
}

} // namespace

rWDXStaticDataFile ReadWDXStaticData(TLibraryReader& r) {
    rWDXStaticDataFile s;
    const size_t start = r.Position();
    s.CabType = r.U8();
    r.Skip(7);
    s.CabWeight = r.F64();
    s.DefaultPlacement = r.U8();
    r.Skip(3);
    s.MaxGlobalSPL = r.F32();
    expectOffset(r, start, 24);
    readDoubles(r,
                {&s.CabCenterX, &s.CabCenterY, &s.CabCenterZ, &s.CabGravityX, &s.CabGravityY, &s.CabGravityZ,
                 &s.CabAcousticPosX, &s.CabAcousticPosY, &s.CabAcousticPosZ, &s.CabAcousticRotRadX,
                 &s.CabAcousticRotRadY, &s.CabAcousticRotRadZ, &s.CabWidth, &s.CabHeight, &s.CabDepth});
    expectOffset(r, start, 144);
    readInts(r, {&s.NSources, &s.NPolarSets, &s.PolarResolutionDegrees, &s.NPolarSlices, &s.NPolarMeasures,
                 &s.NPolarSourceMeas, &s.NPolarSourceSlices, &s.NIntDSP, &s.DefaultPreset});
    s.PolarSourceType = r.U8();
    s.PolarSourceSymetry = r.U8();
    s.IsWrappedPhase = r.Bool8();
    s.BandPerOctave = r.U8();
    s.NFreqPoints = r.I32();
    s.DSPSampleRate = r.U8();
    r.Skip(3);
    expectOffset(r, start, 192);
    readDoubles(r, {&s.ImportAzResolutionDegrees, &s.ImportElevSlicesTakenDegrees});
    readBools(r, {&s.IsPasive, &s.CanChangeDirectionFlown, &s.CanChangeDirectionStack});
    r.Skip(5);
    readDoubles(r, {&s.unusedDistanceToMic_meters, &s.unusedOldDistanceToMic_meters});
    s.PhaseInterpolated = r.Bool8();
    r.Skip(3);
    expectOffset(r, start, 236);
    readInts(r, {&s.DegreesIndex, &s.PlaneIndex, &s.FreqIndex, &s.SelectedPolar});
    s.unusedPhaseCompensated = r.Bool8();
    r.Skip(3);
    readInts(r, {&s.SizeModel3D, &s.SizeModelImage, &s.SizeManufacturerLogo, &s.SizeSerieLogo,
                 &s.ArrayTestNCabinets});
    r.Skip(4);
    s.ArrayTestCabAngle = r.F64();
    expectOffset(r, start, 288);
    for (double& v : s.RotAndFlangePoints) {
        v = r.F64();
    }
    readBools(r, {&s.HasTopFlange, &s.HasBotFlange});
    s.JoinType = r.U8();
    r.Skip(1);
    expectOffset(r, start, 436);
    readInts(r, {&s.NTopAssemblies, &s.NBotAssemblies, &s.NAnglesFlown, &s.NAnglesOnFirstCabFlown,
                 &s.NAnglesStack, &s.NAnglesOnFirstCabStack, &s.NAnglesBotFlange, &s.NAnglesHCluster,
                 &s.NAnglesOnFirstCabHCluster});
    readBools(r, {&s.AllowFly, &s.AllowStack});
    r.Skip(2);
    readInts(r, {&s.NTopAdapters, &s.NBotAdapters, &s.MaxSupCabsFlown, &s.MaxSupCabsStacked, &s.NTopRigFrames,
                 &s.NBotRigFrames});
    readBools(r, {&s.AllowHorizCluster, &s.AllowVertCluster, &s.AllowHornRotation});
    r.Skip(1);
    s.SourceOfHornRotation = r.I32();
    expectOffset(r, start, 508);
    s.DefaultCoverageText = r.ShortString(25);
    s.SecondCoverageText = r.ShortString(25);
    s.VertPrefix = r.ShortString(20);
    s.VertDegreeFormat = r.ShortString(10);
    s.VertSuffix = r.ShortString(10);
    s.HorizPrefix = r.ShortString(20);
    s.HorizDegreeFormat = r.ShortString(10);
    s.HorizSuffix = r.ShortString(10);
    s.SwapHV = r.Bool8();
    s.LinkToDataSheet = r.ShortString(200);
    s.LinkToManual = r.ShortString(200);
    expectOffset(r, start, 1049);
    s.IncludeSpeakerInTF = r.Bool8();
    r.Skip(6);
    readDoubles(r, {&s.PresetViewAxesLeftMax, &s.PresetViewAxesLeftMin});
    readInts(r, {&s.CoverageH, &s.CoverageV, &s.MaxSupCabsHCluster});
    s.DirectionOfRotation = r.U8();
    readBools(
        r, {&s.IsNormalizedPresetReference, &s.IsEmbebedPresetInMeasures, &s.IsMultiPreset, &s.UseRealPhase});
    s.NOriginPoints = r.U8();
    s.UseMeasSetReference = r.Bool8();
    s.RefSetSPL = r.U8();
    s.RefSetLatency = r.U8();
    r.Skip(3);
    expectOffset(r, start, 1096);
    s.ADDASampleLatency = r.I32();
    s.AllowsBeamSteering = r.Bool8();
    s.BeamProcessType = r.U8();
    r.Skip(2);
    s.FIRTapsPerSource = r.I32();
    s.DefaultOriginPoint = r.U8();
    s.ApplySmoothing = r.U8();
    r.Skip(218);
    expectOffset(r, start, rWDXStaticDataFile::kSize);
    return s;
}

bool ReadCabinetFileBytes(std::span<const uint8_t> Bytes, const std::filesystem::path& FileName,
                          rCabinetFile& Record, const std::string& SoftwareName) {
    TLibraryReader r(Bytes);
    Record.Header = ReadWDXHeader(r);
    if (!acceptVersion(Record.Header, SoftwareName)) {
        return false;
    }
    const int32_t major = Record.Header.FileMajorVer;
    rWDXStaticDataFile& s = Record.GlobalStaticData;
    s = ReadWDXStaticData(r);
    if (major < 4) {
        s.IsNormalizedPresetReference = true;
    }
    const size_t points = r.Count(s.NFreqPoints, 0, "frequency points");
    // The smallest element of each list bounds its count by the bytes that remain.
    Record.OriginCenter.resize(r.Count(s.NOriginPoints, 114, "origin points"));
    for (auto& p : Record.OriginCenter) {
        p = readOriginCenterPoint(r);
    }
    Record.SourcePoint.resize(r.Count(s.NSources, 150, "source points"));
    for (auto& p : Record.SourcePoint) {
        p = readSourcePoint(r);
    }
    Record.Polar.clear();
    r.Count(s.NPolarSets, 44 + 7 + 35 + 8 + 64, "polar sets");
    for (int32_t i = 0; i < s.NPolarSets; ++i) {
        Record.Polar.push_back(readPolarSet(r, i, s, points));
    }
    Record.Model3D = r.Bytes(s.SizeModel3D);
    Record.HasModelImage = r.Bool8();
    Record.ModelImage = Record.HasModelImage ? r.Bytes(s.SizeModelImage) : std::vector<uint8_t>{};
    Record.HasManufacturerLogo = r.Bool8();
    Record.ManufacturerLogo =
        Record.HasManufacturerLogo ? r.Bytes(s.SizeManufacturerLogo) : std::vector<uint8_t>{};
    Record.HasSerieLogo = r.Bool8();
    Record.SerieLogo = Record.HasSerieLogo ? r.Bytes(s.SizeSerieLogo) : std::vector<uint8_t>{};
    Record.CabAllowedAnglesBotFlange = readAngles(r, s.NAnglesBotFlange, "bottom-flange angles");
    Record.CabAllowedAnglesOnFirstFlown = readAngles(r, s.NAnglesOnFirstCabFlown, "first flown angles");
    Record.CabAllowedAnglesFlown = readAngles(r, s.NAnglesFlown, "flown angles");
    Record.CabAllowedAnglesOnFirstStack = readAngles(r, s.NAnglesOnFirstCabStack, "first stacked angles");
    Record.CabAllowedAnglesStack = readAngles(r, s.NAnglesStack, "stacked angles");
    Record.CabAllowedAnglesOnFirstHCluster =
        readAngles(r, s.NAnglesOnFirstCabHCluster, "first cluster angles");
    Record.CabAllowedAnglesHCluster = readAngles(r, s.NAnglesHCluster, "cluster angles");
    Record.CabAllowedTopAssemblies = readNames(r, s.NTopAssemblies, "top assemblies");
    Record.CabAllowedBotAssemblies = readNames(r, s.NBotAssemblies, "bottom assemblies");
    Record.TopRigFrameName = readNames(r, s.NTopRigFrames, "top rigging frames");
    Record.BotRigFrameName = readNames(r, s.NBotRigFrames, "bottom rigging frames");
    s.NTopAdapters = r.I32();
    s.NBotAdapters = r.I32();
    Record.TopAdapters = readNames(r, s.NTopAdapters, "top adapters");
    Record.BotAdapters = readNames(r, s.NBotAdapters, "bottom adapters");
    Record.IntDSP.clear();
    r.Count(s.NIntDSP, 356, "presets");
    for (int32_t i = 0; i < s.NIntDSP; ++i) {
        Record.IntDSP.push_back(readPreset(r, points, major));
    }
    Record.TotalSizeCabAllowedVariant = r.I32();
    Record.CabAllowedTopVariant.clear();
    Record.CabAllowedBotVariant.clear();
    Record.MinCabsToUseTopAdapters.clear();
    Record.MinCabsToUseBotAdapters.clear();
    if (Record.TotalSizeCabAllowedVariant > 0) {
        Record.CabAllowedTopVariant = readNames(r, s.NTopAssemblies, "top variants");
        Record.CabAllowedBotVariant = readNames(r, s.NBotAssemblies, "bottom variants");
        Record.MinCabsToUseTopAdapters = readByteList(r, s.NTopAdapters);
        Record.MinCabsToUseBotAdapters = readByteList(r, s.NBotAdapters);
    }
    Record.TotalSizeCabAllowedIfParentIsLessThan = 0;
    Record.AllowedTopIfParentIsLessThan.clear();
    Record.AllowedBotIfParentIsLessThan.clear();
    if (major >= 4) {
        Record.TotalSizeCabAllowedIfParentIsLessThan = r.I32();
        if (Record.TotalSizeCabAllowedIfParentIsLessThan > 0) {
            Record.AllowedTopIfParentIsLessThan = readByteList(r, s.NTopAssemblies);
            Record.AllowedBotIfParentIsLessThan = readByteList(r, s.NBotAssemblies);
        }
    }
    // Extension chunks: a size and that many bytes, until a zero size. A negative size would step
    // backwards, so it is refused rather than followed.
    while (true) {
        const int32_t size = r.I32();
        if (size == 0) {
            break;
        }
        if (size < 0) {
            throw ELibraryFileError("Negative extension size");
        }
        r.Skip(r.Count(size, 1, "extension bytes"));
    }
    // The source paths are sized only when the file carries them: each then takes at least its zero
    // byte, which bounds the lists by the file.
    Record.PolarSourcePath.clear();
    Record.TransferFSourcePath.clear();
    if (FileName.extension() == ".wendrix" && Record.Header.IsProjectOnly_NoCopySources) {
        Record.PolarSourcePath.resize(r.Count(s.NPolarSets, 1, "polar source paths"));
        Record.TransferFSourcePath.resize(r.Count(static_cast<int64_t>(Record.SourcePoint.size()) * s.NIntDSP,
                                                  1, "transfer function source paths"));
        for (std::string& path : Record.PolarSourcePath) {
            path = trimmed(r.ZeroTerminated());
        }
        for (std::string& path : Record.TransferFSourcePath) {
            path = trimmed(r.ZeroTerminated());
        }
    }
    return true;
}

bool ReadCabinetFileRecord(const std::filesystem::path& FileName, rCabinetFile& Record,
                           const std::string& SoftwareName) {
    const std::vector<uint8_t> bytes = ReadLibraryFileBytes(FileName);
    return ReadCabinetFileBytes(bytes, FileName, Record, SoftwareName);
}

} // namespace vendrel
