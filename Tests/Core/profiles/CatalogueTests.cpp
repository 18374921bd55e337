// SPDX-License-Identifier: MIT
#include "ClickoryCore/profiles/Profiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

namespace clickory {
namespace {

std::vector<std::string> ids(const std::vector<SoundProfile>& profiles)
{
    std::vector<std::string> result;
    for (const SoundProfile& profile : profiles) {
        result.push_back(profile.id);
    }
    return result;
}

const SoundProfile& builtIn(std::string_view id)
{
    for (const SoundProfile& candidate : Profiles::all()) {
        if (candidate.id == id) {
            return candidate;
        }
    }
    ADD_FAILURE() << "no built-in profile " << id;
    return Profiles::all().front();
}

ImportedPack pack(std::string id, std::string name)
{
    return ImportedPack{std::move(id), std::move(name), "/packs/x", {{"0", {"k0.wav"}}},
                        {"k1.wav"}, "a Mechvibes pack"};
}

// Every test starts and ends with an empty imported list.
class CatalogueTests : public ::testing::Test
{
protected:
    void SetUp() override { Profiles::setImported({}); }
    void TearDown() override { Profiles::setImported({}); }
};

TEST_F(CatalogueTests, listsHoldTheirProfilesInOrderAndAllConcatenatesThem)
{
    EXPECT_EQ(ids(Profiles::recorded()), (std::vector<std::string>{"tactile", "cherry-brown", "dome"}));
    EXPECT_EQ(ids(Profiles::fun()), (std::vector<std::string>{"cat", "dog", "duck", "boing", "bubble", "drops"}));
    EXPECT_EQ(ids(Profiles::calm()), (std::vector<std::string>{"wood", "glass", "marble-drop", "kalimba", "chimes",
                                                               "clickers", "pops"}));
    EXPECT_EQ(ids(Profiles::synthesized()),
              (std::vector<std::string>{"blue-clack", "brown-bump", "red-linear", "relay", "deep-thock", "creamy",
                                        "marble", "typewriter", "terminal", "droplet", "wood-block", "glass-tap",
                                        "pillow", "felt"}));

    std::vector<SoundProfile> joined;
    for (const auto* list : {&Profiles::recorded(), &Profiles::fun(), &Profiles::calm(), &Profiles::synthesized()}) {
        joined.insert(joined.end(), list->begin(), list->end());
    }
    EXPECT_EQ(Profiles::all(), joined);

    const std::vector<std::string> allIds = ids(Profiles::all());
    EXPECT_EQ(std::set<std::string>(allIds.begin(), allIds.end()).size(), allIds.size()) << "ids must be unique";
}

TEST_F(CatalogueTests, samplePacksCategoriesAndBorrowedVoicesFollowTheirList)
{
    for (const SoundProfile& profile : Profiles::recorded()) {
        EXPECT_EQ(profile.category, ProfileCategory::recorded);
    }
    EXPECT_EQ(builtIn("tactile").samplePackID, "tactile");
    EXPECT_EQ(builtIn("cherry-brown").samplePackID, "brown");
    EXPECT_EQ(builtIn("dome").samplePackID, "dome");
    EXPECT_EQ(builtIn("tactile").keyDown, builtIn("brown-bump").keyDown);
    EXPECT_EQ(builtIn("cherry-brown").keyDown, builtIn("brown-bump").keyDown);
    EXPECT_EQ(builtIn("dome").keyDown, builtIn("red-linear").keyDown);

    for (const SoundProfile& profile : Profiles::fun()) {
        EXPECT_EQ(profile.category, ProfileCategory::fun);
        EXPECT_EQ(profile.samplePackID, profile.id);
        EXPECT_EQ(profile.keyDown, builtIn("wood-block").keyDown) << profile.id;
    }
    for (const SoundProfile& profile : Profiles::calm()) {
        EXPECT_EQ(profile.category, ProfileCategory::calm);
        EXPECT_TRUE(profile.samplePackID.has_value());
        EXPECT_EQ(profile.keyDown, builtIn("felt").keyDown) << profile.id;
    }
    for (const SoundProfile& profile : Profiles::all()) {
        EXPECT_FALSE(profile.importedPack.has_value()) << profile.id;
        EXPECT_FALSE(profile.spaceDownOverride.has_value()) << profile.id;
        EXPECT_EQ(profile.enterDownOverride.has_value(), profile.id == "typewriter") << profile.id;
    }
    for (const SoundProfile& profile : Profiles::synthesized()) {
        EXPECT_FALSE(profile.samplePackID.has_value()) << profile.id;
    }
    EXPECT_EQ(builtIn("relay").category, ProfileCategory::switches);
    EXPECT_EQ(builtIn("creamy").category, ProfileCategory::thock);
    EXPECT_EQ(builtIn("terminal").category, ProfileCategory::vintage);
    EXPECT_EQ(builtIn("glass-tap").category, ProfileCategory::playful);
    EXPECT_EQ(builtIn("pillow").category, ProfileCategory::soft);
    EXPECT_EQ(builtIn("dome").summary, "A real rubber-dome keyboard (Cherry KC 1000), 32 different takes. Softer and "
                                       "quieter than a mechanical board.");
    EXPECT_EQ(builtIn("pops").name, "Bubble wrap");
}

// A few numbers of the voice tables, where a transcription slip is most likely.
TEST_F(CatalogueTests, spotChecksOfTheVoiceTables)
{
    const Voice& blue = builtIn("blue-clack").keyDown;
    EXPECT_EQ(blue.clickDecayMs, 3.5f);
    EXPECT_EQ(blue.ringFreqs, (std::vector<float>{2300, 3600}));
    EXPECT_EQ(blue.springGain, 0.45f);

    const Voice& brown = builtIn("brown-bump").keyDown;
    EXPECT_EQ(brown.durationMs, 50.0);
    EXPECT_EQ(brown.springFreq, 5000.0f);
    EXPECT_EQ(brown.thudCutoff, 1500.0f);

    const Voice& bell = *builtIn("typewriter").enterDownOverride;
    EXPECT_EQ(bell.ringGains, (std::vector<float>{1.0f, 0.55f, 0.3f}));
    EXPECT_EQ(bell.ringFreqs, (std::vector<float>{2637, 5300, 7900}));
    EXPECT_EQ(bell.ringDecaysMs, (std::vector<float>{380, 220, 120}));
    EXPECT_EQ(builtIn("typewriter").keyDown.level, 0.88f);

    EXPECT_EQ(builtIn("droplet").keyDown.bodyDropRatio, 1.4f);
    EXPECT_EQ(builtIn("droplet").keyDown.bodyDecayMs, 28.0f);
    EXPECT_EQ(builtIn("droplet").keyDown.clickGain, 0.0f);
    EXPECT_EQ(builtIn("glass-tap").keyDown.durationMs, 170.0);
    EXPECT_EQ(builtIn("glass-tap").keyDown.ringDecaysMs, (std::vector<float>{90, 60, 45}));
    EXPECT_EQ(builtIn("deep-thock").keyDown.ringGains, (std::vector<float>{0.6f, 0.35f}));
    EXPECT_EQ(builtIn("felt").keyDown.thudCutoff, 650.0f);
    EXPECT_EQ(builtIn("pillow").keyDown.thudGain, 1.0f);
    EXPECT_TRUE(builtIn("pillow").keyDown.ringGains.empty());
    EXPECT_EQ(builtIn("red-linear").keyDown.ringDecaysMs, (std::vector<float>{14}));
}

TEST_F(CatalogueTests, profileLooksUpBuiltInThenImportedThenFallsBackToTactile)
{
    EXPECT_EQ(Profiles::profile("no-such-sound").id, "tactile");
    EXPECT_EQ(Profiles::profile("").id, "tactile");
    EXPECT_FALSE(Profiles::find("no-such-sound").has_value());

    const SoundProfile marble = Profiles::profile("marble");
    EXPECT_EQ(marble.category, ProfileCategory::thock);
    EXPECT_FALSE(marble.samplePackID.has_value());
    const SoundProfile marbleDrop = Profiles::profile("marble-drop");
    EXPECT_EQ(marbleDrop.category, ProfileCategory::calm);
    EXPECT_EQ(marbleDrop.samplePackID, "marble");
    EXPECT_EQ(marbleDrop.name, "Marble");

    EXPECT_EQ(Profiles::profile("imported:abc").id, "tactile");
    Profiles::setImported({Profiles::importedProfile(pack("abc", "ABC"))});
    EXPECT_EQ(Profiles::profile("imported:abc").name, "ABC");
    ASSERT_TRUE(Profiles::find("imported:abc").has_value());
    EXPECT_FALSE(Profiles::find("abc").has_value());

    // A built-in profile wins over an imported one with the same id.
    SoundProfile impostor = Profiles::importedProfile(pack("x", "Impostor"));
    impostor.id = "felt";
    Profiles::setImported({impostor});
    EXPECT_EQ(Profiles::profile("felt").category, ProfileCategory::soft);
}

TEST_F(CatalogueTests, importedProfileDescribesThePack)
{
    const ImportedPack source = pack("abc", "My Pack");
    const SoundProfile profile = Profiles::importedProfile(source);
    EXPECT_EQ(profile.id, "imported:abc");
    EXPECT_EQ(profile.name, "My Pack");
    EXPECT_EQ(profile.category, ProfileCategory::imported);
    EXPECT_EQ(profile.summary,
              "Imported from a Mechvibes pack. Each key plays its own sound where the pack has one.");
    EXPECT_EQ(profile.keyDown, builtIn("brown-bump").keyDown);
    EXPECT_FALSE(profile.spaceDownOverride.has_value());
    EXPECT_FALSE(profile.enterDownOverride.has_value());
    EXPECT_FALSE(profile.samplePackID.has_value());
    EXPECT_EQ(profile.importedPack, source);
}

TEST_F(CatalogueTests, byCategoryGroupsInDisplayOrderAndListsImportedGroupOnlyWhenNonEmpty)
{
    const std::vector<ProfileGroup> plain = Profiles::byCategory();
    std::vector<ProfileCategory> order;
    for (const ProfileGroup& group : plain) {
        order.push_back(group.category);
    }
    EXPECT_EQ(order, (std::vector<ProfileCategory>{ProfileCategory::recorded, ProfileCategory::fun,
                                                   ProfileCategory::calm, ProfileCategory::switches,
                                                   ProfileCategory::thock, ProfileCategory::vintage,
                                                   ProfileCategory::playful, ProfileCategory::soft}));
    ASSERT_EQ(plain.size(), 8u);
    EXPECT_EQ(plain[0].profiles, Profiles::recorded());
    EXPECT_EQ(ids(plain[3].profiles), (std::vector<std::string>{"blue-clack", "brown-bump", "red-linear", "relay"}));
    EXPECT_EQ(ids(plain[7].profiles), (std::vector<std::string>{"pillow", "felt"}));

    // Imported profiles come after the built-in ones of their category, in list order.
    SoundProfile softImport = Profiles::importedProfile(pack("soft", "Soft"));
    softImport.category = ProfileCategory::soft;
    Profiles::setImported({Profiles::importedProfile(pack("b", "Beta")), softImport,
                           Profiles::importedProfile(pack("a", "Alpha"))});
    const std::vector<ProfileGroup> groups = Profiles::byCategory();
    ASSERT_EQ(groups.size(), 9u);
    EXPECT_EQ(groups[0].category, ProfileCategory::recorded);
    EXPECT_EQ(groups[1].category, ProfileCategory::imported);
    EXPECT_EQ(ids(groups[1].profiles), (std::vector<std::string>{"imported:b", "imported:a"}));
    EXPECT_EQ(ids(groups[8].profiles), (std::vector<std::string>{"pillow", "felt", "imported:soft"}));
}

TEST_F(CatalogueTests, importedListCanBeReplacedWhileTheMainThreadReadsIt)
{
    const std::vector<SoundProfile> one = {Profiles::importedProfile(pack("one", "One"))};
    const std::vector<SoundProfile> three = {Profiles::importedProfile(pack("a", "A")),
                                             Profiles::importedProfile(pack("b", "B")),
                                             Profiles::importedProfile(pack("c", "C"))};
    std::atomic<bool> done{false};
    std::thread importer([&] {
        for (int round = 0; round < 300; ++round) {
            Profiles::setImported(round % 2 == 0 ? one : three);
        }
        done = true;
    });

    int reads = 0;
    bool consistent = true;
    while (!done.load() || reads < 50) {
        const auto snapshot = Profiles::imported();
        // A snapshot is always one whole published list.
        consistent = consistent && (snapshot->empty() || *snapshot == one || *snapshot == three);
        const std::size_t groups = Profiles::byCategory().size();
        consistent = consistent && (groups == 8 || groups == 9);
        const std::string found = Profiles::profile("imported:one").id;
        consistent = consistent && (found == "imported:one" || found == "tactile");
        ++reads;
    }
    importer.join();
    EXPECT_TRUE(consistent);
    EXPECT_EQ(*Profiles::imported(), three);
}

TEST(ProfileCategoryTests, rawValuesAreTheDisplayTitles)
{
    const std::vector<std::string_view> titles = {"Recorded", "Imported", "Fun", "Calm", "Synthesized: Switches",
                                                  "Synthesized: Thock", "Synthesized: Vintage",
                                                  "Synthesized: Playful", "Synthesized: Soft"};
    ASSERT_EQ(titles.size(), allProfileCategories().size());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const ProfileCategory category = allProfileCategories()[i];
        EXPECT_EQ(rawValue(category), titles[i]);
        EXPECT_EQ(label(category), titles[i]);
        EXPECT_EQ(profileCategoryFromRaw(titles[i]), category);
    }
    EXPECT_FALSE(profileCategoryFromRaw("thock").has_value());
    EXPECT_FALSE(profileCategoryFromRaw("recorded").has_value());
}

} // namespace
} // namespace clickory
