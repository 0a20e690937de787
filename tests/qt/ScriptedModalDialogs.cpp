#include "ScriptedModalDialogs.h"

#include <gtest/gtest.h>

bool CScriptedModalDialogs::TakeAllAnswered()
{
    const bool all = m_files.empty() && m_folders.empty() && m_yesNo.empty();
    m_files.clear();
    m_folders.clear();
    m_yesNo.clear();
    return all;
}

void CScriptedModalDialogs::ShowMessage(QWidget* owner, const std::string& text, const std::string& caption)
{
    boxes.push_back({text, caption, false, false, owner});
}

bool CScriptedModalDialogs::AskYesNo(QWidget* owner, const std::string& text, const std::string& caption)
{
    boxes.push_back({text, caption, true, false, owner});
    return Answer(false);
}

bool CScriptedModalDialogs::AskYesNoDefaultYes(QWidget* owner, const std::string& text, const std::string& caption)
{
    boxes.push_back({text, caption, true, true, owner});
    return Answer(true);
}

bool CScriptedModalDialogs::Answer(bool byDefault)
{
    if (m_yesNo.empty())
        return byDefault;
    const bool yes = m_yesNo.front();
    m_yesNo.pop_front();
    return yes;
}

bool CScriptedModalDialogs::GetOpenFileName(QWidget* owner, const OpenFileRequest& request, std::string& path)
{
    fileRequests.push_back({request, owner});
    path.clear();
    if (m_files.empty()) {
        ADD_FAILURE() << "an open-file dialog that the test gave no answer for";
        return false;
    }
    const std::optional<std::string> answer = m_files.front();
    m_files.pop_front();
    if (!answer)
        return false;
    path = *answer;
    return true;
}

bool CScriptedModalDialogs::ChooseFolder(QWidget* owner, const std::string& title, const std::string& startFolder,
                                         std::string& folder)
{
    folderRequests.push_back({title, startFolder, owner});
    folder.clear();
    if (m_folders.empty()) {
        ADD_FAILURE() << "a folder chooser that the test gave no answer for";
        return false;
    }
    const std::optional<std::string> answer = m_folders.front();
    m_folders.pop_front();
    if (answer)
        folder = *answer;
    return answer.has_value();
}

void CScriptedModalDialogs::BeginProgress(QWidget*, const std::string& title, int32_t)
{
    progress.push_back({title, {}});
}

bool CScriptedModalDialogs::StepProgress(int32_t, const std::string& text)
{
    if (!progress.empty())
        progress.back().second.push_back(text);
    return true;
}
