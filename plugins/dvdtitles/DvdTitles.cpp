#include "plugins/dvdtitles/DvdTitles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <dvdread/ifo_read.h>

#include "core/PluginRecord.h"
#include "core/StrUtil.h"
#include "plugins/FormatLog.h"
#include "plugins/dvdtitles/DvdLanguages.h"
#include "plugins/dvdtitles/IfoCheck.h"

namespace {

// What the library holds at most.
const int kMaxAudio = 8;
const int kMaxSubtitles = 32;
const int kMaxTitleSets = 99;

int Bcd(uint8_t value)
{
    return (value >> 4) * 10 + (value & 0x0F);
}

int32_t ClampToInt32(int64_t value)
{
    return int32_t(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, value)));
}

const char* OrUnknown(const std::string& text)
{
    return text.empty() ? "[unknown]" : text.c_str();
}

DvdTitleSetRow ReadTitleSetRow(const ifo_handle_t* ifo, PreCommandsJumpFn preCommandsJump)
{
    DvdTitleSetRow row;
    if (ifo == NULL || ifo->vtsi_mat == NULL)
        return row;
    row.subtitleCount = std::min<int>(ifo->vtsi_mat->nr_of_vts_subp_streams, kMaxSubtitles);
    row.audioCount = std::min<int>(ifo->vtsi_mat->nr_of_vts_audio_streams, kMaxAudio);
    const pgcit_t* table = ifo->vts_pgcit;
    if (table == NULL || table->pgci_srp == NULL || table->nr_of_pgci_srp == 0)
        return row;
    const pgc_t* first = table->pgci_srp[0].pgc;
    if (first != NULL) {
        row.programs = first->nr_of_programs;
        row.framesPerSecond = PlaybackFrameRate(first->playback_time);
    }
    for (int i = 0; i < table->nr_of_pgci_srp; i++) {
        const pgc_t* chain = table->pgci_srp[i].pgc;
        if (chain == NULL)
            continue;
        const pgc_command_tbl_t* commands = chain->command_tbl;
        if (preCommandsJump != NULL && commands != NULL && commands->pre_cmds != NULL &&
            commands->nr_of_pre > 0 && preCommandsJump(commands->pre_cmds, commands->nr_of_pre))
            continue;
        row.length = MergeLength(row.length, ChainSeconds(*chain));
    }
    return row;
}

void AppendReport(const DvdTitleSummary& s, const MediaFormat& record, char** report)
{
    long seconds = record.framesPerSecond > 0
                       ? long(double(record.frameCount) / double(record.framesPerSecond))
                       : 0;
    StrAppendFormat(report,
                    "[IFO file]\r\n\r\nRegion: %s\r\n\r\n[Video stream]\r\nCompression: %s\r\n"
                    "TV system: %s\r\nAspect ratio: %s\r\nDisplay mode: %s\r\nResolution: %ldx%ld\r\n"
                    "Frames per sec: %4.2f\r\nLength in sec: %ld\r\nChapters: %ld\r\n\r\n"
                    "[Audio stream(s)]\r\nNumber of audio streams: %ld\r\n\r\n",
                    OrUnknown(s.region), OrUnknown(s.video.compression), OrUnknown(s.video.tvSystem),
                    OrUnknown(s.video.aspectRatio), OrUnknown(s.video.displayMode),
                    long(s.video.width), long(s.video.height), double(record.framesPerSecond),
                    seconds, long(s.row.programs), long(s.row.audioCount));
    for (const DvdAudioInfo& a : s.audio) {
        StrAppendFormat(report, "Language: %s\r\nCompression: %s\r\nSampling: %ldkHz\r\nQuant: %s\r\n",
                        OrUnknown(a.language), OrUnknown(a.description), long(a.sampleRate / 1000),
                        OrUnknown(a.quantization));
        if (!a.caption.empty())
            StrAppendFormat(report, "Caption: %s\r\n", a.caption.c_str());
        StrAppend(report, "\r\n");
    }
    StrAppendFormat(report, "[Subtitel(s)]\r\nNumber of subtitels: %ld\r\n\r\n",
                    long(s.row.subtitleCount));
    for (const DvdSubtitleInfo& t : s.subtitles) {
        StrAppend(report, OrUnknown(t.language));
        if (!t.description.empty())
            StrAppendFormat(report, " [%s]", t.description.c_str());
        StrAppend(report, "\r\n");
    }
}

}  // namespace

void TopValueSet::Add(uint32_t value, size_t row)
{
    if (!rows.empty() && value < top)
        return;
    if (rows.empty() || value > top)
        rows.clear();
    top = value;
    rows.push_back(row);
}

bool TopValueSet::Holds(size_t row) const
{
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

std::string RegionText(uint8_t regionByte)
{
    if (regionByte == 0xC0)
        return "free";
    std::string text;
    for (int n = 1; n <= 6; n++) {
        if ((regionByte & (1 << (n - 1))) == 0)
            text += ", " + std::to_string(n);
    }
    return text.empty() ? "unknown" : text.substr(2);
}

int32_t PlaybackSeconds(const dvd_time_t& time)
{
    return Bcd(time.hour) * 3600 + Bcd(time.minute) * 60 + Bcd(time.second);
}

float PlaybackFrameRate(const dvd_time_t& time)
{
    switch (time.frame_u >> 6) {
    case 1:
        return 25.0f;
    case 3:
        return 29.97f;
    default:
        return 0.0f;
    }
}

int32_t MergeLength(int32_t length, int64_t chain)
{
    int64_t k = length;
    int64_t j = chain;
    int64_t difference = j > k ? j - k : k - j;
    if (difference >= 1200 || j <= 4200)
        return ClampToInt32(k + j);
    return ClampToInt32(j + (k - j) / 2);
}

int64_t ChainSeconds(const pgc_t& chain)
{
    int64_t seconds = 0;
    if (chain.cell_playback == NULL)
        return 0;
    for (int i = 0; i < chain.nr_of_cells; i++) {
        const cell_playback_t& cell = chain.cell_playback[i];
        seconds += PlaybackSeconds(cell.playback_time);
        if (cell.block_mode == 3)
            break;
    }
    return seconds;
}

size_t ChooseTitleSet(const std::vector<DvdTitleSetRow>& rows)
{
    TopValueSet longest, programs, audio, subtitles;
    for (size_t i = 0; i < rows.size(); i++) {
        if (!(rows[i].framesPerSecond > 0))
            continue;
        longest.Add(uint32_t(rows[i].length), i);
        programs.Add(uint32_t(rows[i].programs), i);
        audio.Add(uint32_t(rows[i].audioCount), i);
        subtitles.Add(uint32_t(rows[i].subtitleCount), i);
    }
    auto score = [&](size_t i) {
        return (longest.Holds(i) ? 1.0 : 0) + (programs.Holds(i) ? 0.25 : 0) +
               (audio.Holds(i) ? 0.25 : 0) + (subtitles.Holds(i) ? 0.75 : 0);
    };
    // Ties go to the first test that tells the two apart.
    const TopValueSet* tests[] = {&longest, &audio, &subtitles, &programs};
    size_t best = 0;
    for (size_t i = 1; i < rows.size(); i++) {
        double mine = score(i), theirs = score(best);
        if (mine > theirs) {
            best = i;
        } else if (mine == theirs) {
            for (const TopValueSet* test : tests) {
                if (test->Holds(i) != test->Holds(best)) {
                    if (test->Holds(i))
                        best = i;
                    break;
                }
            }
        }
    }
    return best;
}

DvdVideoInfo DescribeVideo(const video_attr_t& video)
{
    static const char* const kAspect[] = {"4:3", "unknown", "unknown", "16:9"};
    static const char* const kDisplay[] = {"widescreen, pan-scan & letterboxed",
                                           "widescreen & pan-scan", "widescreen & letterboxed",
                                           "not specified"};
    static const int32_t kWidths[] = {720, 704, 352, 352};
    DvdVideoInfo info;
    info.compression = "MPEG-" + std::to_string(video.mpeg_version + 1);
    bool pal = video.video_format != 0;
    info.tvSystem = pal ? "PAL" : "NTSC";
    info.height = pal ? 576 : 480;
    info.aspectRatio = kAspect[video.display_aspect_ratio & 3];
    info.displayMode = kDisplay[video.permitted_df & 3];
    info.width = kWidths[video.picture_size & 3];
    if ((video.picture_size & 3) == 3)
        info.height /= 2;
    return info;
}

DvdAudioInfo DescribeAudio(const audio_attr_t& audio)
{
    DvdAudioInfo info;
    info.language = FindLanguageName(audio.lang_code);
    if (audio.lang_type == 0 && info.language.empty())
        info.language = "Not specified";
    info.coding = audio.audio_format;
    static const char* const kCodings[] = {"AC3", "", "MPEG-1", "MPEG-2", "LPCM", "", "DTS", ""};
    const char* coding = kCodings[audio.audio_format & 7];
    info.channels = (audio.channels & 7) + 1;
    std::string channels;
    switch (info.channels) {
    case 1: channels = "Mono"; break;
    case 2: channels = "Stereo"; break;
    case 4: channels = "Surround (4)"; break;
    case 5: channels = "Dolby Digital 5"; break;
    case 6: channels = "Dolby Digital 5.1"; break;
    default: channels = std::to_string(info.channels) + " channel(s)"; break;
    }
    info.application = audio.application_mode == 1 ? " karaoke"
                       : audio.application_mode == 2 ? " surround sound" : "";
    info.description = std::string(coding) + " (" + channels +
                       (audio.multichannel_extension ? " + multichannel" : "") + ")" +
                       info.application;
    info.sampleRate = audio.sample_frequency != 0 ? 96000 : 48000;
    static const char* const kQuantizations[] = {"16bit", "20bit", "24bit", "DRC"};
    info.quantization = kQuantizations[audio.quantization & 3];
    if (audio.code_extension == 2)
        info.caption = "Audio for visually impaired";
    else if (audio.code_extension == 3 || audio.code_extension == 4)
        info.caption = "Director's comments";
    else if (audio.code_extension > 4)
        info.caption = "Unknown";
    return info;
}

std::vector<DvdSubtitleInfo> DescribeSubtitles(const subp_attr_t* streams, int count)
{
    static const char* const kDescriptions[16] = {
        "", "", "big letters", "for children", "reserved", "for hearing impaired",
        "big letters for hearing impaired", "for hearing impaired children", "reserved", "forced",
        "reserved", "reserved", "reserved", "director's comments", "big letter director's comments",
        "director's comments for children"};
    std::vector<DvdSubtitleInfo> list;
    int hearing = 0, lettersOrChildren = 0, plain = 0;
    for (int i = 0; i < std::min(count, kMaxSubtitles); i++) {
        const subp_attr_t& s = streams[i];
        DvdSubtitleInfo info;
        info.language = FindLanguageName(s.lang_code);
        if (info.language.empty())
            info.language = s.type == 1 ? "Unknown language" : "No language specified";
        info.code = s.lang_extension != 0 ? s.lang_extension : s.code_extension;
        if (info.code <= 15)
            info.description = kDescriptions[info.code];
        hearing += info.code >= 5 && info.code <= 7;
        lettersOrChildren += info.code >= 1 && info.code <= 3;
        plain += info.code == 0;
        list.push_back(info);
    }
    // Discs that mark their hearing-impaired streams with the small codes:
    // a few marked streams among many plain ones.
    if (hearing == 0 && lettersOrChildren > 0 && lettersOrChildren < plain) {
        for (DvdSubtitleInfo& info : list)
            if (info.code != 0)
                info.description = "for hearing impaired";
    }
    return list;
}

void MergeAudio(std::vector<DvdAudioInfo>& audio)
{
    std::vector<DvdAudioInfo> kept;
    for (const DvdAudioInfo& a : audio) {
        bool seen = false;
        for (const DvdAudioInfo& k : kept)
            seen = seen || (k.language == a.language && k.description == a.description &&
                            k.caption == a.caption && k.quantization == a.quantization &&
                            k.channels == a.channels && k.coding == a.coding &&
                            k.sampleRate == a.sampleRate);
        if (!seen)
            kept.push_back(a);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const DvdAudioInfo& a, const DvdAudioInfo& b) {
        return a.channels > b.channels;
    });
    audio.swap(kept);
}

void MergeSubtitles(std::vector<DvdSubtitleInfo>& subtitles)
{
    std::vector<DvdSubtitleInfo> kept;
    for (const DvdSubtitleInfo& s : subtitles) {
        bool seen = false;
        for (const DvdSubtitleInfo& k : kept)
            seen = seen || (k.language == s.language && k.description == s.description);
        if (!seen)
            kept.push_back(s);
    }
    auto rank = [](const DvdSubtitleInfo& s) {
        return (s.language == "No language specified" ? 2 : 0) + (s.description.empty() ? 0 : 1);
    };
    std::stable_sort(kept.begin(), kept.end(),
                     [&](const DvdSubtitleInfo& a, const DvdSubtitleInfo& b) { return rank(a) < rank(b); });
    subtitles.swap(kept);
}

MediaFormat* MakeDvdRecord(const DvdTitleSummary& s)
{
    MediaFormat* record = NewMediaFormat();
    if (record == NULL)
        return NULL;
    bool ok = true;
    StrSet(&record->kindName, "DVD");
    record->framesPerSecond = s.row.framesPerSecond;
    // In hundredths of a frame a second (2500 or 2997) the count is exact:
    // the float 29.97 lies below 29.97, and 100 s of it would give 2996.
    int64_t hundredths = std::lround(double(s.row.framesPerSecond) * 100);
    int64_t frames = hundredths * int64_t(s.row.length) / 100;
    record->frameCount = frames > 0 ? ClampToInt32(frames) : 0;

    VideoStreamInfo* video = AddVideoStream(*record);
    ok = video != NULL;
    if (ok) {
        video->width = s.video.width;
        video->height = s.video.height;
        StrSet(&video->compression, s.video.compression.c_str());
        record->selectedVideo = 0;
    }
    for (size_t i = 0; ok && i < s.audio.size(); i++) {
        const DvdAudioInfo& a = s.audio[i];
        AudioStreamInfo* audio = AddAudioStream(*record);
        ok = audio != NULL;
        if (ok) {
            StrSet(&audio->compression, a.description.c_str());
            StrSet(&audio->language, a.language.c_str());
            audio->channels = int16_t(a.channels);
            audio->sampleRate = a.sampleRate;
            audio->bitsPerSample = int16_t(atoi(a.quantization.c_str()));
        }
    }
    record->selectedAudio = s.audio.empty() ? -1 : 0;
    for (size_t i = 0; ok && i < s.subtitles.size(); i++)
        ok = AddSubtitleText(*record, s.subtitles[i].language.c_str());
    if (ok)
        AppendReport(s, *record, &record->reportText);
    if (!ok)
        DeleteMediaFormat(&record);
    return record;
}

MediaFormat* ReadDvdTitles(dvd_reader_t* dvd, PreCommandsJumpFn preCommandsJump)
{
    IfoHandle manager;
    OpenSoundIfo(dvd, 0, &manager);
    int titleSets = 0;
    if (manager != NULL && manager->vmgi_mat != NULL)
        titleSets = std::min<int>(manager->vmgi_mat->vmg_nr_of_title_sets, kMaxTitleSets);
    if (titleSets < 1) {
        WriteFormatLog("No titels found on DVD (reading error)");
        return NULL;
    }

    DvdTitleSummary summary;
    summary.region = RegionText(uint8_t(manager->vmgi_mat->vmg_category >> 16));
    std::vector<IfoHandle> sets;
    std::vector<DvdTitleSetRow> rows;
    for (int n = 1; n <= titleSets; n++) {
        // A set whose sound backup could not be read might be the movie:
        // no record rather than another set's.
        sets.emplace_back();
        if (!OpenSoundIfo(dvd, n, &sets.back()))
            return NULL;
        rows.push_back(ReadTitleSetRow(sets.back().get(), preCommandsJump));
    }
    size_t best = ChooseTitleSet(rows);
    summary.row = rows[best];

    const ifo_handle_t* set = sets[best].get();
    const vtsi_mat_t* attributes = set != NULL ? set->vtsi_mat : NULL;
    summary.video = DescribeVideo(attributes != NULL ? attributes->vts_video_attr
                                                     : manager->vmgi_mat->vmgm_video_attr);
    if (attributes != NULL) {
        for (int i = 0; i < summary.row.audioCount; i++)
            summary.audio.push_back(DescribeAudio(attributes->vts_audio_attr[i]));
        summary.subtitles = DescribeSubtitles(attributes->vts_subp_attr, summary.row.subtitleCount);
    }
    MergeAudio(summary.audio);
    MergeSubtitles(summary.subtitles);
    return MakeDvdRecord(summary);
}
