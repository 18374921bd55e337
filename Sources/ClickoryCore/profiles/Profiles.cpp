// SPDX-License-Identifier: MIT
#include "ClickoryCore/profiles/Profiles.h"

#include <mutex>
#include <string>
#include <utility>

namespace clickory::Profiles {

namespace {

using PC = ProfileCategory;

// The synthesized profiles and their voices. Voice columns: durationMs, level; click gain, freq, Q,
// decayMs; body gain, freq, dropRatio, decayMs; ring gains, freqs, decaysMs; thud gain, cutoff,
// decayMs; spring gain, freq, decayMs.
struct SynthRow
{
    const char* id;
    const char* name;
    ProfileCategory category;
    const char* summary;
    Voice keyDown;
    std::optional<Voice> enterDown;
};

std::vector<SynthRow> synthRows()
{
    return {
        {"blue-clack", "Blue Clack", PC::switches,
         "Sharp, bright click with a high ping. The classic loud mechanical sound.",
         {55, 0.85f, 1, 4200, 1.2f, 3.5f, 0.35f, 900, 0, 8, {0.6f, 0.4f}, {2300, 3600}, {12, 9},
          0.4f, 2500, 8, 0.45f, 6200, 14},
         std::nullopt},
        {"brown-bump", "Brown Bump", PC::switches, "Tactile and medium. A soft knock with a short click on top.",
         {50, 0.8f, 0.6f, 3000, 1, 3, 0.5f, 600, 0, 10, {0.5f, 0.3f}, {1500, 2600}, {12, 9},
          0.6f, 1500, 10, 0.1f, 5000, 10},
         std::nullopt},
        {"red-linear", "Red Linear", PC::switches, "Smooth and round, with almost no click. Quiet and even.",
         {55, 0.75f, 0.2f, 2200, 1, 3, 0.6f, 480, 0, 12, {0.5f}, {1100}, {14},
          0.8f, 1000, 12, 0, 5200, 30},
         std::nullopt},
        {"relay", "Relay", PC::switches, "A solid snap, like an old electrical relay closing.",
         {70, 0.85f, 1, 2800, 1, 5, 0.6f, 700, 0, 10, {0.8f, 0.6f}, {1900, 3300}, {14, 11},
          0.6f, 2000, 8, 0.6f, 4000, 20},
         std::nullopt},
        {"deep-thock", "Deep Thock", PC::thock, "Low and muffled. A short, dull knock, like a key on a padded desk.",
         {80, 0.85f, 0.15f, 1800, 1, 3, 0.8f, 260, 0, 18, {0.6f, 0.35f}, {700, 1300}, {18, 12},
          0.9f, 700, 16, 0, 5200, 30},
         std::nullopt},
        {"creamy", "Creamy", PC::thock, "Rounded mid thock with a smooth, short tail.",
         {65, 0.8f, 0.2f, 2200, 1, 3, 0.8f, 330, 0, 14, {0.6f, 0.3f}, {900, 1800}, {16, 11},
          0.6f, 900, 13, 0, 5200, 30},
         std::nullopt},
        {"marble", "Marble", PC::thock, "Higher and denser, like tapping a stone slab.",
         {55, 0.8f, 0.6f, 3600, 2, 3, 0.5f, 700, 0, 9, {0.9f, 0.6f}, {2100, 3500}, {14, 10},
          0.2f, 2500, 6, 0, 5200, 30},
         std::nullopt},
        {"typewriter", "Typewriter", PC::vintage, "Heavy mechanical strike, with a bell on Return.",
         {90, 0.88f, 1, 3000, 0.9f, 5, 0.5f, 520, 0, 12, {0.7f, 0.6f, 0.4f}, {1100, 1800, 2800}, {20, 16, 12},
          0.7f, 1700, 12, 0.6f, 4400, 24},
         // The bell on Return.
         Voice{520, 0.8f, 0.5f, 3000, 0.9f, 4, 0.2f, 500, 0, 10, {1, 0.55f, 0.3f}, {2637, 5300, 7900},
               {380, 220, 120}, 0.4f, 1400, 10, 0, 5200, 30}},
        {"terminal", "Terminal", PC::vintage, "A crisp, high tick like an old green-screen keyboard.",
         {30, 0.7f, 1, 4800, 3, 2.5f, 0.2f, 1200, 0, 6, {}, {}, {},
          0.1f, 3000, 4, 0, 5200, 30},
         std::nullopt},
        {"droplet", "Droplet", PC::playful, "A small water-drop plip on every key.",
         {60, 0.7f, 0, 3000, 1.2f, 4, 1, 900, 1.4f, 28, {0.2f}, {1800}, {14},
          0.1f, 2000, 5, 0, 5200, 30},
         std::nullopt},
        {"wood-block", "Wood Block", PC::playful, "A hollow wooden tock.",
         {55, 0.8f, 0.3f, 2400, 3, 3, 1, 900, 0, 18, {0.6f, 0.4f}, {1400, 2700}, {16, 11},
          0, 900, 18, 0, 5200, 30},
         std::nullopt},
        {"glass-tap", "Glass Tap", PC::playful, "A bright, ringing tap that lingers a little.",
         {170, 0.6f, 0.6f, 5200, 4, 4, 0.15f, 1400, 0, 8, {1, 0.7f, 0.5f}, {2400, 3700, 5300}, {90, 60, 45},
          0, 900, 18, 0, 5200, 30},
         std::nullopt},
        {"pillow", "Pillow", PC::soft, "Muffled and low. Almost silent, only a cushioned pat.",
         {45, 0.5f, 0, 3000, 1.2f, 4, 0.5f, 220, 0, 12, {}, {}, {},
          1, 500, 14, 0, 5200, 30},
         std::nullopt},
        {"felt", "Felt", PC::soft, "A gentle, woolly tap with a hint of click.",
         {45, 0.55f, 0.15f, 1800, 1, 3, 0.4f, 300, 0, 10, {}, {}, {},
          0.8f, 650, 11, 0, 5200, 30},
         std::nullopt},
    };
}

// Sample-pack profiles borrow the key-down voice of a synthesized profile.
struct PackRow
{
    const char* id;
    const char* name;
    const char* samplePackID;
    const char* voiceOf;
    const char* summary;
};

const Voice& keyDownOf(std::string_view synthesizedID)
{
    for (const SoundProfile& candidate : synthesized()) {
        if (candidate.id == synthesizedID) {
            return candidate.keyDown;
        }
    }
    // Only reachable through a typing error in the tables below.
    return synthesized().front().keyDown;
}

std::vector<SoundProfile> packProfiles(ProfileCategory category, const std::vector<PackRow>& rows)
{
    std::vector<SoundProfile> profiles;
    profiles.reserve(rows.size());
    for (const PackRow& row : rows) {
        profiles.push_back(SoundProfile{row.id, row.name, category, row.summary, keyDownOf(row.voiceOf),
                                        std::nullopt, std::nullopt, std::string(row.samplePackID), std::nullopt});
    }
    return profiles;
}

// The imported list is replaced as a whole while other threads read it: readers copy the pointer
// under the lock and keep their snapshot for as long as they need it. Built on first use, so that
// it is ready even for callers running before this file's static initialisation.
struct ImportedList
{
    std::mutex mutex;
    std::shared_ptr<const std::vector<SoundProfile>> list = std::make_shared<const std::vector<SoundProfile>>();
};

ImportedList& importedList()
{
    static ImportedList state;
    return state;
}

} // namespace

const std::vector<SoundProfile>& synthesized()
{
    static const std::vector<SoundProfile> list = [] {
        std::vector<SoundProfile> profiles;
        for (SynthRow& row : synthRows()) {
            profiles.push_back(SoundProfile{row.id, row.name, row.category, row.summary, std::move(row.keyDown),
                                            std::nullopt, std::move(row.enterDown), std::nullopt, std::nullopt});
        }
        return profiles;
    }();
    return list;
}

const std::vector<SoundProfile>& recorded()
{
    static const std::vector<SoundProfile> list = packProfiles(
        PC::recorded,
        {
            {"tactile", "Tactile", "tactile", "brown-bump",
             "A real tactile mechanical keyboard, recorded one key at a time. Every key press is a different take."},
            {"cherry-brown", "Cherry MX Brown", "brown", "brown-bump",
             "A real Cherry MX Brown switch, press and release, varied slightly in pitch."},
            {"dome", "Dome", "dome", "red-linear",
             "A real rubber-dome keyboard (Cherry KC 1000), 32 different takes. Softer and quieter than a mechanical "
             "board."},
        });
    return list;
}

const std::vector<SoundProfile>& fun()
{
    static const std::vector<SoundProfile> list = packProfiles(
        PC::fun,
        {
            {"cat", "Cat", "cat", "wood-block",
             "A different meow for every key press. Pitch rises from the left of the keyboard to the right."},
            {"dog", "Dog", "dog", "wood-block", "A short bark on every key. Quiet by default."},
            {"duck", "Duck", "duck", "wood-block", "Quacks and squeaky-toy squeaks."},
            {"boing", "Boing", "boing", "wood-block", "Cartoon springs and bounces."},
            {"bubble", "Bubble pop", "bubble", "wood-block", "Small, soft bubble pops."},
            {"drops", "Water drops", "drops", "wood-block", "Single drops of water."},
        });
    return list;
}

const std::vector<SoundProfile>& calm()
{
    // The calm marble is "marble-drop" so that it does not collide with the synthesized "marble".
    static const std::vector<SoundProfile> list = packProfiles(
        PC::calm,
        {
            {"wood", "Soft wood", "wood", "felt", "Gentle taps on a wooden table."},
            {"glass", "Glass and ceramic", "glass", "felt", "Light taps on glass and ceramic, with a soft ring."},
            {"marble-drop", "Marble", "marble", "felt", "A marble touching a desk."},
            {"kalimba", "Kalimba", "kalimba", "felt", "Soft thumb-piano notes. Typing turns slightly melodic."},
            {"chimes", "Chimes", "chimes", "felt", "Wind chimes and a marimba note."},
            {"clickers", "Clickers", "clickers", "felt", "Pen clicks, light switches and toggles."},
            {"pops", "Bubble wrap", "pops", "felt", "Soft pops, like bubble wrap."},
        });
    return list;
}

const std::vector<SoundProfile>& all()
{
    static const std::vector<SoundProfile> list = [] {
        std::vector<SoundProfile> profiles;
        for (const auto* part : {&recorded(), &fun(), &calm(), &synthesized()}) {
            profiles.insert(profiles.end(), part->begin(), part->end());
        }
        return profiles;
    }();
    return list;
}

std::shared_ptr<const std::vector<SoundProfile>> imported()
{
    ImportedList& state = importedList();
    std::lock_guard lock(state.mutex);
    return state.list;
}

void setImported(std::vector<SoundProfile> profiles)
{
    auto replacement = std::make_shared<const std::vector<SoundProfile>>(std::move(profiles));
    std::shared_ptr<const std::vector<SoundProfile>> previous;
    ImportedList& state = importedList();
    {
        std::lock_guard lock(state.mutex);
        previous = std::exchange(state.list, std::move(replacement));
    }
    // The old list, if this was its last owner, is freed here, outside the lock.
}

std::optional<SoundProfile> find(std::string_view id)
{
    for (const SoundProfile& candidate : all()) {
        if (candidate.id == id) {
            return candidate;
        }
    }
    const auto importedNow = imported();
    for (const SoundProfile& candidate : *importedNow) {
        if (candidate.id == id) {
            return candidate;
        }
    }
    return std::nullopt;
}

SoundProfile profile(std::string_view id)
{
    if (std::optional<SoundProfile> found = find(id)) {
        return std::move(*found);
    }
    return *find(defaultID);
}

SoundProfile importedProfile(const ImportedPack& pack)
{
    return SoundProfile{std::string(importedPrefix) + pack.id,
                        pack.name,
                        ProfileCategory::imported,
                        "Imported from " + pack.source + ". Each key plays its own sound where the pack has one.",
                        keyDownOf("brown-bump"),
                        std::nullopt,
                        std::nullopt,
                        std::nullopt,
                        pack};
}

std::vector<ProfileGroup> byCategory()
{
    const auto importedNow = imported();
    std::vector<ProfileGroup> groups;
    for (ProfileCategory category : allProfileCategories()) {
        ProfileGroup group{category, {}};
        for (const auto* list : {&all(), importedNow.get()}) {
            for (const SoundProfile& candidate : *list) {
                if (candidate.category == category) {
                    group.profiles.push_back(candidate);
                }
            }
        }
        if (!group.profiles.empty()) {
            groups.push_back(std::move(group));
        }
    }
    return groups;
}

} // namespace clickory::Profiles
