// The service registry: name order, first registration wins, teardown, get-or-create and the
// active state of the state tree.
#include "framework/System.h"

#include "Recording.h"
#include "framework/ProcessManager.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace
{

class Service : public Tarv::RefCounter
{
public:
    Service() = default;
    Service(std::vector<std::string>* log, const char* name) : m_log(log), m_name(name) {}
    ~Service() override
    {
        if (m_log != nullptr)
            m_log->push_back("~" + m_name);
    }

private:
    std::vector<std::string>* m_log = nullptr;
    std::string m_name;
};

class OtherService : public Tarv::RefCounter
{
};

class LoggingManager : public Quor::ProcessManager
{
public:
    LoggingManager(const char* name, std::vector<std::string>* log) : Quor::ProcessManager(name), m_log(log) {}
    ~LoggingManager() override { m_log->push_back("~" + GetName()); }

protected:
    void PreUpdate() override { m_log->push_back(GetName()); }

private:
    std::vector<std::string>* m_log;
};

// Each test gets a registry of its own and destroys it explicitly.
class SystemTest : public testing::Test
{
protected:
    void SetUp() override { system = Quor::System::Create(nullptr); }
    void TearDown() override { Quor::System::Destroy(); }

    Quor::System* system = nullptr;
    std::vector<std::string> log;
};

} // namespace

TEST_F(SystemTest, ManagersAreTickedInNameOrderNotRegistrationOrder)
{
    system->AddManager("B", new LoggingManager("B", &log));
    system->AddManager("A", new LoggingManager("A", &log));
    system->AddManager("Physics", new LoggingManager("Physics", &log));
    auto* ended = new LoggingManager("C", &log);
    ended->SetDuration(0.05f);
    system->AddManager("C", ended);
    // A taken name keeps the first manager; the refused one is freed, and the refusal said.
    EXPECT_FALSE(system->AddManager("A", new LoggingManager("A again", &log)));
    system->UpdateManagers(0.1f);
    EXPECT_EQ(log, (std::vector<std::string>{"~A again", "A", "B", "Physics"}));
    // A manager whose time is up stays and is ticked again.
    system->UpdateManagers(0.1f);
    EXPECT_EQ(system->GetManager("C"), ended);
}

TEST_F(SystemTest, ASecondServiceUnderATakenNameIsRefusedAndFreed)
{
    auto* first = new Service(&log, "first");
    EXPECT_TRUE(system->AddService("Settings", first));
    EXPECT_FALSE(system->AddService("Settings", new Service(&log, "second")));
    EXPECT_EQ(system->GetService("Settings"), first);
    EXPECT_EQ(log, (std::vector<std::string>{"~second"}));
    EXPECT_EQ(system->GetService("Missing"), nullptr);
    EXPECT_FALSE(system->AddService("Null", nullptr));
}

TEST_F(SystemTest, TeardownDestroysServicesThenManagersThenRenderablesInNameOrder)
{
    system->AddService("Settings", new Service(&log, "Settings"));
    system->AddService("Audio", new Service(&log, "Audio"));
    system->AddManager("Physics", new LoggingManager("Physics", &log));
    Quor::System::Destroy();
    EXPECT_EQ(Quor::System::GetInstance(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"~Audio", "~Settings", "~Physics"}));
}

TEST_F(SystemTest, AnOutsideCountedHolderNeverCausesADoubleFree)
{
    auto* service = new Service(&log, "held");
    system->AddService("Held", service);
    Tarv::SmartPtr<Service> outside(service);
    Quor::System::Destroy();
    EXPECT_TRUE(log.empty());
    outside.Reset();
    EXPECT_EQ(log, (std::vector<std::string>{"~held"}));
}

TEST_F(SystemTest, GetOrCreateRegistersOnceAndRefusesAnotherTypeOrNoRegistry)
{
    Service* made = Quor::System::GetOrCreateService<Service>("CacheList");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(Quor::System::GetOrCreateService<Service>("CacheList"), made);
    EXPECT_EQ(Quor::System::GetOrCreateService<OtherService>("CacheList"), nullptr);
    Quor::System::Destroy();
    EXPECT_EQ(Quor::System::GetOrCreateService<Service>("Settings"), nullptr);
}

TEST_F(SystemTest, ALoaderThreadLooksUpWhileTheMainThreadRegisters)
{
    std::thread loader([] {
        for (int i = 0; i < 200; ++i)
            Quor::System::GetOrCreateService<Service>("CacheList");
    });
    for (int i = 0; i < 200; ++i) {
        Tarv::NarrowString name = "Main";
        name.AppendInt(i);
        system->AddService(name, new Service);
    }
    loader.join();
    EXPECT_NE(system->GetService("CacheList"), nullptr);
    EXPECT_NE(system->GetService("Main199"), nullptr);
}

TEST(SystemActiveState, IsTheDeepestCurrentStateOrNullWhenAPathEndsEarly)
{
    QuorTest::CallLog calls;
    Tarv::SmartPtr<QuorTest::RecordingSubstatable> application(new QuorTest::RecordingSubstatable("application", &calls));
    Quor::System* system = Quor::System::Create(application.Get());
    // The first state is given straight to the pending slot, so the test needs no loader.
    auto* game = new QuorTest::RecordingSubstatable("game", &calls);
    auto* play = new QuorTest::RecordingState("play", &calls);
    application->SetPending(game);
    application->Update(0.01f);
    EXPECT_EQ(system->GetActiveState(), nullptr);
    game->SetPending(play);
    application->Update(0.01f);
    EXPECT_EQ(system->GetActiveState(), play);

    Quor::System::Destroy();
    application.Reset();

    Quor::System rootless(nullptr);
    rootless.UpdateActiveState();
    EXPECT_EQ(rootless.GetActiveState(), nullptr);
}
