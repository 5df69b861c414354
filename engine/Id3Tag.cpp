#include "engine/Id3Tag.h"

#include <cstring>

// Twelve names carry a trailing blank: the genre list shows them so, and
// texts already stored from it keep that spelling.
const char* const Id3GenreNames[Id3GenreCount] = {
    "Blues ",       "Classic Rock",   "Country",         "Dance ",      "Disco",
    "Funk",         "Grunge",         "Hip-Hop",         "Jazz",        "Metal",
    "New Age",      "Oldies",         "Other",           "Pop",         "R&B",
    "Rap",          "Reggae",         "Rock",            "Techno",      "Industrial",
    "Alternative",  "Ska",            "Death Metal",     "Pranks",      "Soundtrack",
    "Euro-Techno",  "Ambient",        "Trip-Hop",        "Vocal",       "Jazz+Funk",
    "Fusion",       "Trance",         "Classical",       "Instrumental", "Acid",
    "House",        "Game",           "Sound Clip",      "Gospel",      "Noise",
    "Altern Rock",  "Bass",           "Soul",            "Punk",        "Space",
    "Meditative",   "Inst. Pop",      "Instrum. Rock ",  "Ethnic",      "Gothic",
    "Darkwave",     "Techno-Indus ",  "Electronic ",     "Pop-Folk ",   "Eurodance ",
    "Dream ",       "Southern Rock",  "Comedy",          "Cult ",       "Gangsta ",
    "Top 40",       "Christian Rap",  "Pop/Funk",        "Jungle",      "Native American",
    "Cabaret",      "New Wave",       "Psychadelic",     "Rave",        "Showtunes",
    "Trailer",      "Lo-Fi",          "Tribal",          "Acid Punk",   "Acid Jazz ",
    "Polka",        "Retro",          "Musical",         "Rock & Roll", "Hard Rock ",
};

const char* Id3GenreName(int genre) {
    return genre >= 0 && genre < Id3GenreCount ? Id3GenreNames[genre] : "";
}

namespace {

// Length of a field of the record, never past its end even when a caller
// filled it without a terminating zero.
size_t FieldLength(const char* field, size_t size) {
    const void* nul = memchr(field, 0, size);
    return nul ? static_cast<const char*>(nul) - field : size;
}

void PutField(unsigned char* block, int offset, const char* field, size_t fieldSize,
              size_t room) {
    size_t n = FieldLength(field, fieldSize);
    if (n > room) n = room;
    memcpy(block + offset, field, n);
}

void GetField(char* field, const unsigned char* block, int offset, size_t n) {
    memcpy(field, block + offset, n);
    field[n] = 0;
}

}  // namespace

int WriteId3v1Tag(FILE* file, const Id3Tag& tag) {
    if (!file || !tag.album[0] || !tag.artist[0] || !tag.title[0]) return 0;
    unsigned char block[Id3v1TagBytes] = {};
    memcpy(block, "TAG", 3);
    PutField(block, 3, tag.title, sizeof tag.title, 30);
    PutField(block, 33, tag.artist, sizeof tag.artist, 30);
    PutField(block, 63, tag.album, sizeof tag.album, 30);
    // Only the year's own characters: a short year is zero-padded rather
    // than followed by whatever lay behind its terminator.
    PutField(block, 93, tag.year, sizeof tag.year, 4);
    block[126] = 1;  // track number
    block[127] = tag.genre;
    return fwrite(block, 1, sizeof block, file) == sizeof block ? 1 : 0;
}

int ReadId3v1Tag(const char* fileName, Id3Tag* tag) {
    if (!fileName || !tag) return 0;
    FILE* f = fopen(fileName, "rb");
    if (!f) return 0;
    unsigned char block[Id3v1TagBytes] = {};
    bool read = _fseeki64(f, 0, SEEK_END) == 0 && _ftelli64(f) >= Id3v1TagBytes &&
                _fseeki64(f, -Id3v1TagBytes, SEEK_END) == 0 &&
                fread(block, 1, sizeof block, f) == sizeof block;
    fclose(f);
    if (!read || memcmp(block, "TAG", 3) != 0) return 0;
    GetField(tag->title, block, 3, 30);
    GetField(tag->artist, block, 33, 30);
    GetField(tag->album, block, 63, 30);
    GetField(tag->year, block, 93, 4);
    tag->genre = block[127];
    return 1;
}
