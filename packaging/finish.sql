-- Statements msibuild runs on the package after wixl, one a line, in order.
-- Chinese texts: the package's code page is 936; wixl keeps only ASCII.
UPDATE `Shortcut` SET `Name`='Quorvel 学校管理系统' WHERE `Name`='QV_TEXT_SHORTCUT'
UPDATE `ServiceInstall` SET `DisplayName`='Quorvel 更新服务' WHERE `DisplayName`='QV_TEXT_SERVICE_NAME'
UPDATE `ServiceInstall` SET `Description`='以系统身份为本机的 Quorvel 安装更新，使没有管理员权限的用户也能完成更新。' WHERE `Description`='QV_TEXT_SERVICE_DESCRIPTION'
UPDATE `LaunchCondition` SET `Description`='已安装了更新版本的 Quorvel，不能换成较旧的版本。' WHERE `Description`='QV_TEXT_DOWNGRADE'
-- The version file: never overwritten once there (wixl has no NeverOverwrite).
UPDATE `Component` SET `Attributes`=128 WHERE `Component`='VersionFile' AND `Attributes`=0
UPDATE `Component` SET `Attributes`=384 WHERE `Component`='VersionFile' AND `Attributes`=256
-- Optional parts (wixl has no component conditions).
UPDATE `Component` SET `Condition`='PUBLISHERKEYS' WHERE `Component`='PublisherKeys'
UPDATE `Component` SET `Condition`='DESKTOPSHORTCUT = "1"' WHERE `Component`='DesktopShortcut'
-- A setting given on the command line wins over the one AppSearch finds in the registry.
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvKeepServiceUrl',51,'QV_GIVEN_SERVICEURL','[SERVICEURL]')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvKeepServiceUrl','',40)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvKeepServiceUrl','',40)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvTakeServiceUrl',51,'SERVICEURL','[QV_GIVEN_SERVICEURL]')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvTakeServiceUrl','QV_GIVEN_SERVICEURL',51)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvTakeServiceUrl','QV_GIVEN_SERVICEURL',51)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvKeepCustomerCode',51,'QV_GIVEN_CUSTOMERCODE','[CUSTOMERCODE]')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvKeepCustomerCode','',41)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvKeepCustomerCode','',41)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvTakeCustomerCode',51,'CUSTOMERCODE','[QV_GIVEN_CUSTOMERCODE]')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvTakeCustomerCode','QV_GIVEN_CUSTOMERCODE',52)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvTakeCustomerCode','QV_GIVEN_CUSTOMERCODE',52)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvKeepSigningSalt',51,'QV_GIVEN_SIGNINGSALT','[SIGNINGSALT]')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvKeepSigningSalt','',42)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvKeepSigningSalt','',42)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvTakeSigningSalt',51,'SIGNINGSALT','[QV_GIVEN_SIGNINGSALT]')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvTakeSigningSalt','QV_GIVEN_SIGNINGSALT',53)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvTakeSigningSalt','QV_GIVEN_SIGNINGSALT',53)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvKeepPublisherKeys',51,'QV_GIVEN_PUBLISHERKEYS','[PUBLISHERKEYS]')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvKeepPublisherKeys','',43)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvKeepPublisherKeys','',43)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvTakePublisherKeys',51,'PUBLISHERKEYS','[QV_GIVEN_PUBLISHERKEYS]')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvTakePublisherKeys','QV_GIVEN_PUBLISHERKEYS',54)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvTakePublisherKeys','QV_GIVEN_PUBLISHERKEYS',54)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvKeepDesktopShortcut',51,'QV_GIVEN_DESKTOPSHORTCUT','[DESKTOPSHORTCUT]')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvKeepDesktopShortcut','',44)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvKeepDesktopShortcut','',44)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvTakeDesktopShortcut',51,'DESKTOPSHORTCUT','[QV_GIVEN_DESKTOPSHORTCUT]')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvTakeDesktopShortcut','QV_GIVEN_DESKTOPSHORTCUT',55)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvTakeDesktopShortcut','QV_GIVEN_DESKTOPSHORTCUT',55)
-- A new installation (or an upgrade) needs the school's settings; QVSETUPERROR collects what is wrong
-- and stands in the install log, then the installation stops with it.
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvNeedServiceUrl',51,'QVSETUPERROR','[QVSETUPERROR]缺少属性 SERVICEURL（更新服务的地址，如 http://update.school.cn）。')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvNeedServiceUrl','NOT Installed AND (NOT SERVICEURL)',60)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvNeedServiceUrl','NOT Installed AND (NOT SERVICEURL)',60)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvNeedCustomerCode',51,'QVSETUPERROR','[QVSETUPERROR]缺少属性 CUSTOMERCODE（学校的客户代码）。')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvNeedCustomerCode','NOT Installed AND (NOT CUSTOMERCODE)',61)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvNeedCustomerCode','NOT Installed AND (NOT CUSTOMERCODE)',61)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvNeedSigningSalt',51,'QVSETUPERROR','[QVSETUPERROR]缺少属性 SIGNINGSALT（与更新服务约定的签名盐）。')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvNeedSigningSalt','NOT Installed AND (NOT SIGNINGSALT)',62)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvNeedSigningSalt','NOT Installed AND (NOT SIGNINGSALT)',62)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvCheckServiceUrl',51,'QVSETUPERROR','[QVSETUPERROR]SERVICEURL 必须以 http:// 或 https:// 开头。')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvCheckServiceUrl','NOT Installed AND (SERVICEURL AND NOT (SERVICEURL ~<< "http://" OR SERVICEURL ~<< "https://"))',63)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvCheckServiceUrl','NOT Installed AND (SERVICEURL AND NOT (SERVICEURL ~<< "http://" OR SERVICEURL ~<< "https://"))',63)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvCheckLeadingHash',51,'QVSETUPERROR','[QVSETUPERROR]CUSTOMERCODE、SIGNINGSALT 和 PUBLISHERKEYS 不能以 # 开头。')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvCheckLeadingHash','NOT Installed AND (CUSTOMERCODE << "#" OR SIGNINGSALT << "#" OR PUBLISHERKEYS << "#")',64)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvCheckLeadingHash','NOT Installed AND (CUSTOMERCODE << "#" OR SIGNINGSALT << "#" OR PUBLISHERKEYS << "#")',64)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvStopWithoutSettings',19,'','无法安装 Quorvel：[QVSETUPERROR]请在 msiexec 命令行上给出学校的设置，例如 SERVICEURL=http://update.school.cn CUSTOMERCODE=School01 SIGNINGSALT=…')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvStopWithoutSettings','QVSETUPERROR',70)
INSERT INTO `InstallUISequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvStopWithoutSettings','QVSETUPERROR',70)
-- Uninstalling also deletes the installation folder with everything in it (what the launcher
-- downloaded, sub-folders included, the version file): RemoveInstallation from the Binary table,
-- which refuses a drive root or a folder of the system and never follows a link out of the folder;
-- never while an upgrade removes the old version. Not every msiexec tells the old version's removal
-- that it is part of an upgrade (UPGRADINGPRODUCTCODE; Wine's does not), so the upgrade also leaves
-- a mark in the folder while it runs, which the program heeds. Deferred, as the system, going on
-- whatever the program answers (2 + 64 + 1024 + 2048). "[INSTALLDIR]." keeps the folder's trailing
-- "\" from escaping the closing quote.
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvRemoveInstallation',3138,'RemoveInstallation','"[INSTALLDIR]."')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvRemoveInstallation','REMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE',3510)
-- The mark: set before the old version goes (RemoveExistingProducts, 1401), removed at the end.
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvMarkUpgrade',98,'TARGETDIR','"[%ComSpec]" /c echo upgrading>"[INSTALLDIR]startqvl.upgrading"')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvMarkUpgrade','WIX_UPGRADE_DETECTED AND NOT Installed',1300)
INSERT INTO `CustomAction` (`Action`,`Type`,`Source`,`Target`) VALUES ('QvUnmarkUpgrade',98,'TARGETDIR','"[%ComSpec]" /c del /f /q "[INSTALLDIR]startqvl.upgrading"')
INSERT INTO `InstallExecuteSequence` (`Action`,`Condition`,`Sequence`) VALUES ('QvUnmarkUpgrade','WIX_UPGRADE_DETECTED AND NOT Installed',6650)
