<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>BurstStrip</name>
    <message>
        <source>四连拍</source>
        <translation>burst-strip</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>关于 ParvelWebcam</source>
        <translation>About Parvel Webcam</translation>
    </message>
    <message>
        <source>Parvel 乐影屋，2.0 版</source>
        <translation>Parvel Webcam, version 2.0</translation>
    </message>
    <message>
        <source>版权所有 (C) 2026 Tolvek 乐影屋小组</source>
        <translation>Copyright (C) 2026 the Tolvek Parvel Webcam team</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CCameraControlsDlg</name>
    <message>
        <source>摄像头设置</source>
        <translation>Camera Settings</translation>
    </message>
    <message>
        <source>摄像头：%1</source>
        <translation>Camera: %1</translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation>Restore Defaults</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>未找到摄像设备
内置摄像头是否禁用或USB摄像头未插入?</source>
        <translation>No camera found
Is the built-in camera disabled, or the USB camera unplugged?</translation>
    </message>
    <message>
        <source>这个摄像头没有可以调整的设置。</source>
        <translation>This camera has no settings to adjust.</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>范围 %1 至 %2，步长 %3，默认 %4</source>
        <translation>From %1 to %2 in steps of %3; default %4</translation>
    </message>
    <message>
        <source>开启</source>
        <translation>On</translation>
    </message>
    <message>
        <source>日光灯随交流电闪烁：这一项与当地电网的频率（中国为 50 Hz）不符时，画面上会有闪烁或滚动的横纹。</source>
        <translation>Fluorescent lights flicker with the mains: when this does not match the local mains frequency (50 Hz in China, Europe and most of Asia; 60 Hz in North America), the picture shows flicker or rolling bands.</translation>
    </message>
    <message>
        <source>在这个系统上无法调整摄像头自身的设置。</source>
        <translation>The camera&apos;s own settings cannot be adjusted on this system.</translation>
    </message>
    <message>
        <source>摄像头“%1”已拔出或无法打开。</source>
        <translation>The camera “%1” is unplugged or cannot be opened.</translation>
    </message>
    <message>
        <source>已恢复摄像头的默认设置。</source>
        <translation>The camera&apos;s defaults are restored.</translation>
    </message>
    <message>
        <source>已恢复默认设置，但有些项摄像头没有接受。</source>
        <translation>Defaults restored, but the camera did not accept some of them.</translation>
    </message>
    <message>
        <source>亮度</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>对比度</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source>饱和度</source>
        <translation>Saturation</translation>
    </message>
    <message>
        <source>色调</source>
        <translation>Hue</translation>
    </message>
    <message>
        <source>清晰度</source>
        <translation>Sharpness</translation>
    </message>
    <message>
        <source>伽马</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>白平衡</source>
        <translation>White balance</translation>
    </message>
    <message>
        <source>曝光</source>
        <translation>Exposure</translation>
    </message>
    <message>
        <source>背光补偿</source>
        <translation>Backlight compensation</translation>
    </message>
    <message>
        <source>电源频率</source>
        <translation>Power line frequency</translation>
    </message>
    <message>
        <source>对焦</source>
        <translation>Focus</translation>
    </message>
    <message>
        <source>缩放</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>禁用</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>摄像头不接受这个值。</source>
        <translation>The camera does not accept this value.</translation>
    </message>
    <message>
        <source>自动模式开启时不能调整这一项。</source>
        <translation>This cannot be adjusted while its automatic mode is on.</translation>
    </message>
    <message>
        <source>这一项是只读的，或正被其他程序占用。</source>
        <translation>This is read-only, or another program holds it.</translation>
    </message>
    <message>
        <source>摄像头没有这一项设置。</source>
        <translation>The camera does not have this setting.</translation>
    </message>
    <message>
        <source>摄像头拒绝了这次调整。</source>
        <translation>The camera refused this change.</translation>
    </message>
</context>
<context>
    <name>CCameraDlg</name>
    <message>
        <source>选择摄像头</source>
        <translation>Choose Camera</translation>
    </message>
    <message>
        <source>摄像头</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>画面尺寸</source>
        <translation>Picture size</translation>
    </message>
    <message>
        <source>未找到摄像设备
内置摄像头是否禁用或USB摄像头未插入?</source>
        <translation>No camera found
Is the built-in camera disabled, or the USB camera unplugged?</translation>
    </message>
    <message>
        <source>摄像头在下次开启时使用，画面尺寸在下次启动乐影屋时生效。</source>
        <translation>The camera is used from its next start, the picture size from the next start of Parvel Webcam.</translation>
    </message>
</context>
<context>
    <name>CChildFrame</name>
    <message>
        <source>双击可收起或展开侧边栏</source>
        <translation>Double-click to fold the side pane away or bring it back</translation>
    </message>
</context>
<context>
    <name>CFrameView</name>
    <message>
        <source>相片长廊 无法打开照片目录:

目录不存在?
或
目录中无照片? 赶快试试拍照功能吧！

</source>
        <translation>Photo gallery cannot open the photo folder:

Does the folder exist?
or
Is it still empty? Take a photo and see!

</translation>
    </message>
    <message>
        <source>请检查照片目录</source>
        <translation>Please check the photo folder</translation>
    </message>
    <message>
        <source>相框长廊 无法打开照片目录:

目录不存在?
或
目录无相框?

</source>
        <translation>Frame gallery cannot open the frame folder:

Does the folder exist?
or
Does it hold no frames?

</translation>
    </message>
    <message>
        <source>挂件长廊 无法打开挂件目录:

目录不存在?
或
目录无相框?

</source>
        <translation>Sticker gallery cannot open the sticker folder:

Does the folder exist?
or
Does it hold no stickers?

</translation>
    </message>
    <message>
        <source>请检查挂件目录</source>
        <translation>Please check the sticker folder</translation>
    </message>
    <message>
        <source>照片目录 %1 中还没有照片：拍照、录像或录制 GIF 后，它们会出现在这里</source>
        <translation>No photos in %1 yet: photos, videos and GIFs you take appear here</translation>
    </message>
    <message>
        <source>相框目录 %1 中没有 %2 相框：把 %2 图片放进这个目录，这里就会列出它们</source>
        <translation>No %2 frames in %1: put %2 pictures into this folder and they appear here</translation>
    </message>
    <message>
        <source>挂件目录 %1 中没有 %2 挂件：把 %2 图片放进这个目录，这里就会列出它们</source>
        <translation>No %2 stickers in %1: put %2 pictures into this folder and they appear here</translation>
    </message>
    <message>
        <source>单击一个相框，或把它往下拖，就加到画面上
左右拖动或转动滚轮，看更多相框</source>
        <translation>Click a frame, or drag it down, to put it on the picture
Drag sideways or turn the wheel for more frames</translation>
    </message>
    <message>
        <source>单击一个挂件，或把它往下拖，就加到画面上
左右拖动或转动滚轮，看更多挂件</source>
        <translation>Click a sticker, or drag it down, to put it on the picture
Drag sideways or turn the wheel for more stickers</translation>
    </message>
    <message>
        <source>双击打开照片，右键看更多操作
左右拖动或转动滚轮，看更多照片</source>
        <translation>Double-click a photo to open it, right-click for more
Drag sideways or turn the wheel for more photos</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Parvel 乐影屋</source>
        <translation>Parvel Webcam</translation>
    </message>
    <message>
        <source>Parvel 乐影屋 - 常言道</source>
        <translation>Parvel Webcam</translation>
    </message>
    <message>
        <source>摄像头已经打开,可进行其他操作</source>
        <translation>The camera is on; try the other functions</translation>
    </message>
    <message>
        <source>摄像头已经关闭</source>
        <translation>The camera is off</translation>
    </message>
    <message>
        <source>摄像头已断开：没有收到画面，摄像机已关闭。请检查摄像头后重新开启</source>
        <translation>Camera lost: no picture arrived, so the camera was switched off. Check the camera and switch it on again</translation>
    </message>
    <message>
        <source>照片已保存：%1</source>
        <translation>Photo saved: %1</translation>
    </message>
    <message>
        <source>(*^__^*) 嘻嘻…… 欢迎来到 Parvel 乐影屋~   希望玩的愉快！</source>
        <translation>(*^__^*) Hee hee... Welcome to Parvel Webcam~   Have fun!</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>标题栏</source>
        <translation>Caption Bar</translation>
    </message>
    <message>
        <source>状态栏</source>
        <translation>Status Bar</translation>
    </message>
    <message>
        <source>~~做事有始有终才是好孩子

关掉摄像头再离开吧！~~</source>
        <translation>~~Good kids finish what they start

Please switch the camera off before you leave!~~</translation>
    </message>
    <message>
        <source>乐影屋：摄像头未关闭！</source>
        <translation>Parvel Webcam: the camera is still on!</translation>
    </message>
    <message>
        <source>常言道</source>
        <translation>Parvel Webcam</translation>
    </message>
    <message>
        <source>功能区</source>
        <translation>Ribbon</translation>
    </message>
    <message>
        <source>界面语言已切换为中文</source>
        <translation>The interface now speaks English</translation>
    </message>
    <message>
        <source>录像已保存：%1</source>
        <translation>Video saved: %1</translation>
    </message>
    <message>
        <source>动图已保存：%1</source>
        <translation>Animated GIF saved: %1</translation>
    </message>
    <message>
        <source>（有 %1 帧来不及录入）</source>
        <translation> (%1 pictures came too fast to be recorded)</translation>
    </message>
    <message>
        <source>照片文件夹不存在（%1），照片已保存到：%2</source>
        <translation>The photo folder does not exist (%1); the photo was saved to: %2</translation>
    </message>
    <message>
        <source>照片文件夹不存在：
%1

这张照片已保存到：
%2

要选择另一个照片文件夹吗？</source>
        <translation>The photo folder does not exist:
%1

This photo was saved to:
%2

Choose another photo folder?</translation>
    </message>
    <message>
        <source>摄像头 %1 又接上了，画面已恢复。</source>
        <translation>Camera %1 is back; the picture goes on. </translation>
    </message>
    <message>
        <source>已取幕布颜色 RGB(%1, %2, %3)：画面里这种颜色的地方换成背景</source>
        <translation>Cloth colour taken: RGB(%1, %2, %3); where the picture has this colour, the backdrop shows</translation>
    </message>
</context>
<context>
    <name>CPhotoViewer</name>
    <message>
        <source>找不到“%1”。
它可能已被移走、改名或删除。</source>
        <translation>Cannot find “%1”.
It may have been moved, renamed or deleted.</translation>
    </message>
    <message>
        <source>无法显示“%1”。
文件可能已损坏，或者不是乐影屋能打开的图片或视频。</source>
        <translation>Cannot show “%1”.
The file may be damaged, or it is not a picture or video Parvel Webcam can open.</translation>
    </message>
    <message>
        <source>“%1”太大，无法显示。</source>
        <translation>“%1” is too large to show.</translation>
    </message>
    <message>
        <source>这个文件夹里已经没有照片、视频或动图了。</source>
        <translation>There are no photos, videos or animated GIFs left in this folder.</translation>
    </message>
    <message>
        <source>照片查看 - 乐影屋</source>
        <translation>Photo Viewer - Parvel Webcam</translation>
    </message>
    <message>
        <source>%1 - 乐影屋</source>
        <translation>%1 - Parvel Webcam</translation>
    </message>
    <message>
        <source>%1 / %2    %3</source>
        <translation>%1 / %2    %3</translation>
    </message>
</context>
<context>
    <name>CTimeSetDlg</name>
    <message>
        <source>延时设置</source>
        <translation>Delay Setting</translation>
    </message>
    <message>
        <source>延时时间</source>
        <translation>Delay time</translation>
    </message>
    <message>
        <source>(秒)</source>
        <translation>(seconds)</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>请输入一个整数~</source>
        <translation>Please enter a whole number~</translation>
    </message>
    <message>
        <source>时间非负,请重新设置~</source>
        <translation>The time cannot be negative, please set it again~</translation>
    </message>
    <message>
        <source>延时时间最长为%1秒,请重新设置~</source>
        <translation>The longest delay is %1 seconds, please set it again~</translation>
    </message>
</context>
<context>
    <name>CWebcamCtl</name>
    <message>
        <source>确定放大选区？</source>
        <translation>Magnify the selected region?</translation>
    </message>
    <message>
        <source>提示信息</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>请离开画面</source>
        <translation>Please leave the picture</translation>
    </message>
    <message>
        <source>确定只在选区内显示特效？</source>
        <translation>Show the effect only inside the selected area?</translation>
    </message>
    <message>
        <source>上一页（←）</source>
        <translation>Previous page (←)</translation>
    </message>
    <message>
        <source>下一页（→）</source>
        <translation>Next page (→)</translation>
    </message>
</context>
<context>
    <name>CWelcomeMovie</name>
    <message>
        <source>(*^__^*) 嘻嘻…… 欢迎来到 Parvel 乐影屋~   希望玩的愉快！</source>
        <translation>(*^__^*) Hee hee... Welcome to Parvel Webcam~   Have fun!</translation>
    </message>
</context>
<context>
    <name>CameraProbe</name>
    <message>
        <source>未找到摄像设备
内置摄像头是否禁用或USB摄像头未插入?</source>
        <translation>No camera found
Is the built-in camera disabled, or the USB camera unplugged?</translation>
    </message>
    <message>
        <source>已自动检测到设备
下次启动将您将不会看到此提示框~</source>
        <translation>A camera was detected automatically
You will not see this message at the next start~</translation>
    </message>
    <message>
        <source>已自动检测到设备（%1 × %2）
但配置文件无法写入，未能保存检测结果
下次启动时将再次检测~</source>
        <translation>A camera was detected automatically (%1 × %2)
but the settings file could not be written, so the result was not saved
It will be detected again at the next start~</translation>
    </message>
</context>
<context>
    <name>CameraTexts</name>
    <message>
        <source> · %1 帧/秒</source>
        <translation> · %1 fps</translation>
    </message>
    <message>
        <source> · 压缩</source>
        <translation> · compressed</translation>
    </message>
    <message>
        <source>摄像头：%1 × %2，%3 帧/秒</source>
        <translation>Camera: %1 × %2, %3 fps</translation>
    </message>
    <message>
        <source>摄像头：%1 × %2</source>
        <translation>Camera: %1 × %2</translation>
    </message>
    <message>
        <source>（要求的是 %1 × %2，摄像头给不了：画面按摄像头给的尺寸显示，今后也用这个尺寸）</source>
        <translation> (%1 × %2 was asked for, which the camera cannot give: the picture is shown at the size it gives, which is kept from now on)</translation>
    </message>
</context>
<context>
    <name>CaptionBar</name>
    <message>
        <source>重要事项</source>
        <translation>Important</translation>
    </message>
    <message>
        <source>这是向用户显示的信息性消息。</source>
        <translation>This is an informational message shown to the user.</translation>
    </message>
    <message>
        <source>这是标题栏，可在其中向用户显示消息。</source>
        <translation>This is the caption bar, where messages can be shown to the user.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Parvel 乐影屋：摄像头娱乐程序。</source>
        <translation>Parvel Webcam: a webcam entertainment program.</translation>
    </message>
    <message>
        <source>显示这些选项的说明。</source>
        <translation>Show a description of these options.</translation>
    </message>
    <message>
        <source>显示程序的版本。</source>
        <translation>Show the program&apos;s version.</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>source</translation>
    </message>
    <message>
        <source>界面语言：zh（中文）或 en（英文）；默认跟随系统。</source>
        <translation>Interface language: zh (Chinese) or en (English); by default the system decides.</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>language</translation>
    </message>
    <message>
        <source>用 --help 查看可用的选项。</source>
        <translation>Use --help to see the available options.</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>--source 只能给一次。</source>
        <translation>--source may be given only once.</translation>
    </message>
    <message>
        <source>--source 需要一个值：摄像头编号、设备路径、视频文件或 test。</source>
        <translation>--source needs a value: a camera index, a device path, a video file or test.</translation>
    </message>
    <message>
        <source>不认识的语言：%1（可用 zh 或 en）</source>
        <translation>Unknown language: %1 (use zh or en)</translation>
    </message>
    <message>
        <source>画面来源：摄像头编号（默认 0）、设备路径、视频文件，或 test、test:宽x高（内置的活动测试画面）。</source>
        <translation>Picture source: a camera index (default 0), a device path, a video file, or test, test:WxH (the built-in moving test scene).</translation>
    </message>
    <message>
        <source>每秒在标准错误输出上报告每秒画面数、延迟和各步骤用时。</source>
        <translation>Report the pictures per second, the latency and the time of each stage on standard error once a second.</translation>
    </message>
    <message>
        <source>测试画面的尺寸不对：%1（写作 test:宽x高，宽 %2 到 %3，高 %4 到 %5）</source>
        <translation>Not a size for the test scene: %1 (write test:WIDTHxHEIGHT, width %2 to %3, height %4 to %5)</translation>
    </message>
    <message>
        <source>用法：%1 [选项]</source>
        <translation>Usage: %1 [options]</translation>
    </message>
    <message>
        <source>选项：</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>找不到视频文件：%1</source>
        <translation>No such video file: %1</translation>
    </message>
    <message>
        <source>无法读取视频文件：%1</source>
        <translation>Cannot read the video file: %1</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>通道状态：默认</source>
        <translation>Channels: Default</translation>
    </message>
    <message>
        <source>通道状态：自定义</source>
        <translation>Channels: Custom</translation>
    </message>
    <message>
        <source>隐藏 涂鸦</source>
        <translation>Hide Doodle</translation>
    </message>
    <message>
        <source>显示 涂鸦</source>
        <translation>Show Doodle</translation>
    </message>
    <message>
        <source>鼠标单击拍照功能已暂停</source>
        <translation>Photo on click is paused</translation>
    </message>
    <message>
        <source>鼠标单击拍照功能已开启，在图像客户区单击即可轻松拍照，试试吧！</source>
        <translation>Photo on click is on: click the picture to take a photo, try it!</translation>
    </message>
    <message>
        <source>图像显示尺寸</source>
        <translation>Display Size</translation>
    </message>
    <message>
        <source>图像翻转</source>
        <translation>Flip</translation>
    </message>
    <message>
        <source>挥毫泼墨</source>
        <translation>Doodle</translation>
    </message>
    <message>
        <source>相框类型切换</source>
        <translation>Frame Type</translation>
    </message>
    <message>
        <source>挂件类型切换</source>
        <translation>Sticker Type</translation>
    </message>
    <message>
        <source>开启摄像机</source>
        <translation>Start Camera</translation>
    </message>
    <message>
        <source>开启或关闭摄像头</source>
        <translation>Switch the camera on or off</translation>
    </message>
    <message>
        <source>切换摄像机状态,亦可双击图像区切换</source>
        <translation>Switches the camera; a double-click on the picture does the same</translation>
    </message>
    <message>
        <source>摄像头已经打开,可进行其他操作</source>
        <translation>The camera is on; try the other functions</translation>
    </message>
    <message>
        <source>摄像头已经关闭</source>
        <translation>The camera is off</translation>
    </message>
    <message>
        <source>关闭摄像机</source>
        <translation>Stop Camera</translation>
    </message>
    <message>
        <source>改变图像窗口大小</source>
        <translation>Change the size of the picture</translation>
    </message>
    <message>
        <source>选择不同大小</source>
        <translation>Choose another size</translation>
    </message>
    <message>
        <source>原始尺寸</source>
        <translation>Full Size</translation>
    </message>
    <message>
        <source>中等尺寸(0.75)</source>
        <translation>Medium Size (0.75)</translation>
    </message>
    <message>
        <source>较小尺寸(0.5)</source>
        <translation>Small Size (0.5)</translation>
    </message>
    <message>
        <source>适应窗口</source>
        <translation>Fit to Window</translation>
    </message>
    <message>
        <source>单击图像区拍照</source>
        <translation>Photo on Click</translation>
    </message>
    <message>
        <source>立即拍照</source>
        <translation>Take a photo now</translation>
    </message>
    <message>
        <source>单击按钮，高亮后鼠标在图像区单击可拍照</source>
        <translation>Click the button; while it is highlighted, a click on the picture takes a photo</translation>
    </message>
    <message>
        <source>LOOGO状态：显示</source>
        <translation>Logo: Shown</translation>
    </message>
    <message>
        <source>显示或隐藏 Loogo</source>
        <translation>Show or hide the logo</translation>
    </message>
    <message>
        <source>单击按钮切换</source>
        <translation>Click the button to switch</translation>
    </message>
    <message>
        <source>相框状态：显示</source>
        <translation>Frame: Shown</translation>
    </message>
    <message>
        <source>相框显示</source>
        <translation>Frame display</translation>
    </message>
    <message>
        <source>点此按钮可显示或隐藏相框</source>
        <translation>Click this button to show or hide the frame</translation>
    </message>
    <message>
        <source>挂件状态：显示</source>
        <translation>Stickers: Shown</translation>
    </message>
    <message>
        <source>挂件显示</source>
        <translation>Sticker display</translation>
    </message>
    <message>
        <source>点此按钮可显示或隐藏挂件</source>
        <translation>Click this button to show or hide the stickers</translation>
    </message>
    <message>
        <source>鼠标拖动</source>
        <translation>Drag with Mouse</translation>
    </message>
    <message>
        <source>挂件操作</source>
        <translation>Stickers</translation>
    </message>
    <message>
        <source>按钮点中状态下，可鼠标移动挂件到指定位置</source>
        <translation>While this button is pressed, drag the stickers where you want them</translation>
    </message>
    <message>
        <source>全部清除</source>
        <translation>Clear All</translation>
    </message>
    <message>
        <source>清除所有添加的挂件</source>
        <translation>Remove every sticker added</translation>
    </message>
    <message>
        <source>特效风格</source>
        <translation>Effect style</translation>
    </message>
    <message>
        <source>通道状态：默认设置</source>
        <translation>Channels: Default Settings</translation>
    </message>
    <message>
        <source>通道参数设置</source>
        <translation>Channel settings</translation>
    </message>
    <message>
        <source>点此按钮可恢复默认设置</source>
        <translation>Click this button to restore the default settings</translation>
    </message>
    <message>
        <source>色彩模式</source>
        <translation>Colour model</translation>
    </message>
    <message>
        <source>最常见的RGB色彩模式</source>
        <translation>The most common colour model, RGB</translation>
    </message>
    <message>
        <source>放大选区图像</source>
        <translation>Magnify Region</translation>
    </message>
    <message>
        <source>细节放大</source>
        <translation>Magnify details</translation>
    </message>
    <message>
        <source>点击按钮后在图像区鼠标选取感兴趣区域后即可放大该区域</source>
        <translation>Click the button, then drag a region on the picture to magnify it</translation>
    </message>
    <message>
        <source>原始图像</source>
        <translation>Original Picture</translation>
    </message>
    <message>
        <source>为选区应用特效</source>
        <translation>Effect in Region</translation>
    </message>
    <message>
        <source>为特定选取应用特效</source>
        <translation>Apply the effect to a region</translation>
    </message>
    <message>
        <source>点击按钮后鼠标选取感兴趣区域后，特效功能仅在该区域有效</source>
        <translation>Click the button, then drag a region: the effect then acts only there</translation>
    </message>
    <message>
        <source>尚未开启任何特效？</source>
        <translation>No effect is switched on yet?</translation>
    </message>
    <message>
        <source>原始特效</source>
        <translation>No Effect</translation>
    </message>
    <message>
        <source>点此开始光流</source>
        <translation>Start Optical Flow</translation>
    </message>
    <message>
        <source>光流互动娱乐</source>
        <translation>Optical flow play</translation>
    </message>
    <message>
        <source>点此按钮可自动添加光流</source>
        <translation>Click this button to add flow dots automatically</translation>
    </message>
    <message>
        <source>鼠标添加</source>
        <translation>Add with Mouse</translation>
    </message>
    <message>
        <source>点此按钮可通过鼠标自定义添加光流点</source>
        <translation>Click this button to add flow dots with the mouse</translation>
    </message>
    <message>
        <source>夜晚模式</source>
        <translation>Night Mode</translation>
    </message>
    <message>
        <source>点此按钮可切换到夜晚模式，再次点击后恢复</source>
        <translation>Click this button for night mode; click again to go back</translation>
    </message>
    <message>
        <source>退出光流</source>
        <translation>Stop Optical Flow</translation>
    </message>
    <message>
        <source>退出光流娱乐互动</source>
        <translation>Stop the optical flow play</translation>
    </message>
    <message>
        <source>点此开始涂鸦</source>
        <translation>Start Doodling</translation>
    </message>
    <message>
        <source>涂鸦设置</source>
        <translation>Doodle settings</translation>
    </message>
    <message>
        <source>隐藏或者去除当前图画</source>
        <translation>Hide or remove the current drawing</translation>
    </message>
    <message>
        <source>清除 涂鸦</source>
        <translation>Clear Doodle</translation>
    </message>
    <message>
        <source>黑白</source>
        <translation>Black and White</translation>
    </message>
    <message>
        <source>使图像变为黑白色</source>
        <translation>Turns the picture black and white</translation>
    </message>
    <message>
        <source>底片</source>
        <translation>Negative</translation>
    </message>
    <message>
        <source>模仿胶片底色的效果</source>
        <translation>Looks like a film negative</translation>
    </message>
    <message>
        <source>素描</source>
        <translation>Sketch</translation>
    </message>
    <message>
        <source>极力推荐的实时素描特写，试试吧！</source>
        <translation>A live pencil sketch, highly recommended, try it!</translation>
    </message>
    <message>
        <source>细腻轮廓</source>
        <translation>Fine Outline</translation>
    </message>
    <message>
        <source>彩色亮化的边缘</source>
        <translation>Bright coloured edges</translation>
    </message>
    <message>
        <source>腐蚀</source>
        <translation>Erosion</translation>
    </message>
    <message>
        <source>图像腐蚀的效果</source>
        <translation>An eroded picture</translation>
    </message>
    <message>
        <source>磨砂颗粒</source>
        <translation>Grain</translation>
    </message>
    <message>
        <source>带有杂色的磨砂风格</source>
        <translation>A frosted look with noise</translation>
    </message>
    <message>
        <source>左右翻转</source>
        <translation>Flip Left-Right</translation>
    </message>
    <message>
        <source>点此按钮图像左右方向切换</source>
        <translation>Click this button to flip the picture left to right</translation>
    </message>
    <message>
        <source>上下翻转</source>
        <translation>Flip Upside Down</translation>
    </message>
    <message>
        <source>点此按钮图像上下方向切换</source>
        <translation>Click this button to flip the picture upside down</translation>
    </message>
    <message>
        <source>全部翻转</source>
        <translation>Flip Both</translation>
    </message>
    <message>
        <source>点此按钮图像上下左右方向切换</source>
        <translation>Click this button to flip the picture both ways</translation>
    </message>
    <message>
        <source>无法打开文件夹：%1</source>
        <translation>Cannot open the folder: %1</translation>
    </message>
    <message>
        <source>选择照片存储目录..</source>
        <translation>Choose the photo folder..</translation>
    </message>
    <message>
        <source>选择相框存储目录..</source>
        <translation>Choose the frame folder..</translation>
    </message>
    <message>
        <source>选择挂件存储目录..</source>
        <translation>Choose the sticker folder..</translation>
    </message>
    <message>
        <source>文件夹路径太长，请选择一个路径较短的文件夹~

%1</source>
        <translation>The folder path is too long, please choose a folder with a shorter path~

%1</translation>
    </message>
    <message>
        <source>打开照片文件夹</source>
        <translation>Open Photo Folder</translation>
    </message>
    <message>
        <source>照片文件夹</source>
        <translation>Photo folder</translation>
    </message>
    <message>
        <source>打开照片文件夹或者设置自定义目录</source>
        <translation>Open the photo folder or choose another one</translation>
    </message>
    <message>
        <source>设置照片文件夹 . . .</source>
        <translation>Set Photo Folder . . .</translation>
    </message>
    <message>
        <source>打开相框文件夹</source>
        <translation>Open Frame Folder</translation>
    </message>
    <message>
        <source>相框文件夹</source>
        <translation>Frame folder</translation>
    </message>
    <message>
        <source>打开相框文件夹或者设置自定义目录</source>
        <translation>Open the frame folder or choose another one</translation>
    </message>
    <message>
        <source>设置相框文件夹 . .</source>
        <translation>Set Frame Folder . .</translation>
    </message>
    <message>
        <source>打开挂件文件夹</source>
        <translation>Open Sticker Folder</translation>
    </message>
    <message>
        <source>挂件文件夹</source>
        <translation>Sticker folder</translation>
    </message>
    <message>
        <source>打开挂件文件夹或者设置自定义目录</source>
        <translation>Open the sticker folder or choose another one</translation>
    </message>
    <message>
        <source>设置挂件文件夹 . .</source>
        <translation>Set Sticker Folder . .</translation>
    </message>
    <message>
        <source>延时拍照</source>
        <translation>Delayed Photo</translation>
    </message>
    <message>
        <source>拍照选项</source>
        <translation>Photo options</translation>
    </message>
    <message>
        <source>延时拍摄</source>
        <translation>Take a photo after a countdown</translation>
    </message>
    <message>
        <source>延时时间设置</source>
        <translation>Set the delay time</translation>
    </message>
    <message>
        <source>动态 GIF</source>
        <translation>Animated GIF</translation>
    </message>
    <message>
        <source>透明 PNG</source>
        <translation>Transparent PNG</translation>
    </message>
    <message>
        <source>相框文件类型选择</source>
        <translation>Frame file type</translation>
    </message>
    <message>
        <source>支持GIF或者PNG格式，选择后在相框显示区显示相应相框</source>
        <translation>GIF or PNG: the frame strip then lists frames of that type</translation>
    </message>
    <message>
        <source>挂件文件类型选择</source>
        <translation>Sticker file type</translation>
    </message>
    <message>
        <source>支持GIF或者PNG格式，选择后在挂件显示区显示相应挂件</source>
        <translation>GIF or PNG: the sticker strip then lists stickers of that type</translation>
    </message>
    <message>
        <source>剪切(&amp;T)	Ctrl+X</source>
        <translation>Cu&amp;t	Ctrl+X</translation>
    </message>
    <message>
        <source>复制(&amp;C)	Ctrl+C</source>
        <translation>&amp;Copy	Ctrl+C</translation>
    </message>
    <message>
        <source>粘贴(&amp;P)	Ctrl+V</source>
        <translation>&amp;Paste	Ctrl+V</translation>
    </message>
    <message>
        <source>Office 2007 (蓝色样式)(&amp;B)</source>
        <translation>Office 2007 (&amp;Blue Style)</translation>
    </message>
    <message>
        <source>Office 2007 (黑色样式)(&amp;L)</source>
        <translation>Office 2007 (B&amp;lack Style)</translation>
    </message>
    <message>
        <source>Office 2007 (银色样式)(&amp;S)</source>
        <translation>Office 2007 (&amp;Silver Style)</translation>
    </message>
    <message>
        <source>Office 2007 (水绿色样式)(&amp;A)</source>
        <translation>Office 2007 (&amp;Aqua Style)</translation>
    </message>
    <message>
        <source>标题栏</source>
        <translation>Caption Bar</translation>
    </message>
    <message>
        <source>切换标题栏</source>
        <translation>Toggle caption bar</translation>
    </message>
    <message>
        <source>显示或隐藏标题栏</source>
        <translation>Show or hide the caption bar</translation>
    </message>
    <message>
        <source>选项...</source>
        <translation>Options...</translation>
    </message>
    <message>
        <source>单击此处查看其他选项</source>
        <translation>Click here for more options</translation>
    </message>
    <message>
        <source>状态栏</source>
        <translation>Status Bar</translation>
    </message>
    <message>
        <source>切换状态栏</source>
        <translation>Toggle status bar</translation>
    </message>
    <message>
        <source>显示或隐藏状态栏</source>
        <translation>Show or hide the status bar</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>退出应用程序；提示保存文档</source>
        <translation>Quit the application; prompts to save documents</translation>
    </message>
    <message>
        <source>拍下当前画面</source>
        <translation>Take a photo of the picture now</translation>
    </message>
    <message>
        <source>亮度</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>通道1</source>
        <translation>Channel 1</translation>
    </message>
    <message>
        <source>通道2</source>
        <translation>Channel 2</translation>
    </message>
    <message>
        <source>通道3</source>
        <translation>Channel 3</translation>
    </message>
    <message>
        <source>对比度</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source>光流色板</source>
        <translation>Dot colour</translation>
    </message>
    <message>
        <source>为光流点选择不同的颜色</source>
        <translation>Choose another colour for the flow dots</translation>
    </message>
    <message>
        <source>颜料桶</source>
        <translation>Paint bucket</translation>
    </message>
    <message>
        <source>换个画笔颜色</source>
        <translation>Choose another pen colour</translation>
    </message>
    <message>
        <source>画笔选择</source>
        <translation>Pen width</translation>
    </message>
    <message>
        <source>选择不同粗细画笔</source>
        <translation>Choose a thinner or thicker pen</translation>
    </message>
    <message>
        <source>关于 Parvel乐影屋</source>
        <translation>About Parvel Webcam</translation>
    </message>
    <message>
        <source>关于本软件</source>
        <translation>About this program</translation>
    </message>
    <message>
        <source>献给每一个爱笑的人</source>
        <translation>For everyone who loves to laugh</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>显示程序信息、版本号和版权信息</source>
        <translation>Show the program&apos;s information, version and copyright</translation>
    </message>
    <message>
        <source>使用指南</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>打开乐影屋的使用说明</source>
        <translation>Open the Parvel Webcam user guide</translation>
    </message>
    <message>
        <source>无法打开使用指南：%1</source>
        <translation>Cannot open the user guide: %1</translation>
    </message>
    <message>
        <source>我的博客</source>
        <translation>My blog</translation>
    </message>
    <message>
        <source>访问我的博客</source>
        <translation>Visit my blog</translation>
    </message>
    <message>
        <source>提出您的宝贵意见</source>
        <translation>Tell us what you think</translation>
    </message>
    <message>
        <source>无法打开网页：%1</source>
        <translation>Cannot open the web page: %1</translation>
    </message>
    <message>
        <source>全屏显示</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>只显示图像，铺满整个屏幕；按 Esc 退出</source>
        <translation>Show only the picture on the whole screen; Esc leaves</translation>
    </message>
    <message>
        <source>退出全屏</source>
        <translation>Leave full screen</translation>
    </message>
    <message>
        <source>Parvel乐影屋 V2.0

献给每一个爱笑的人：愿镜头前的你天天开心。
建议与问题请到乐影屋主页留言：%1</source>
        <translation>Parvel Webcam V2.0

For everyone who loves to laugh: may you smile every day in front of the camera.
Leave your suggestions and questions on the Parvel Webcam home page: %1</translation>
    </message>
    <message>
        <source>已选择摄像头：%1，下次开启摄像机时使用</source>
        <translation>Camera chosen: %1, used from the next start of the camera</translation>
    </message>
    <message>
        <source>已选择摄像头：%1；配置文件是只读的，画面尺寸未能保存</source>
        <translation>Camera chosen: %1; the settings file is read-only, so the picture size was not saved</translation>
    </message>
    <message>
        <source>已选择摄像头：%1；配置文件无法写入，画面尺寸未能保存</source>
        <translation>Camera chosen: %1; the settings file cannot be written, so the picture size was not saved</translation>
    </message>
    <message>
        <source>已选择摄像头：%1（%2 × %3），下次开启摄像机时使用；画面尺寸在下次启动时生效</source>
        <translation>Camera chosen: %1 (%2 × %3), used from the next start of the camera; the picture size holds from the next start of the program</translation>
    </message>
    <message>
        <source>选择摄像头</source>
        <translation>Choose Camera</translation>
    </message>
    <message>
        <source>列出电脑上的摄像头和它们的画面尺寸；选择在下次开启摄像机时生效</source>
        <translation>Lists the cameras of this computer and their picture sizes; the choice holds from the next start of the camera</translation>
    </message>
    <message>
        <source>摄像头设置...</source>
        <translation>Camera Settings...</translation>
    </message>
    <message>
        <source>摄像头设置</source>
        <translation>Camera Settings</translation>
    </message>
    <message>
        <source>调整摄像头自身的亮度、对比度、曝光、白平衡、对焦等，画面立即随之改变；按摄像头记住，每次开启时应用</source>
        <translation>Adjusts the camera&apos;s own brightness, contrast, exposure, white balance, focus and more, with the picture changing at once; remembered per camera and applied at each start</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>界面语言</source>
        <translation>Interface language</translation>
    </message>
    <message>
        <source>使用中文界面，下次启动时也使用中文</source>
        <translation>Chinese interface, now and at the next start</translation>
    </message>
    <message>
        <source>使用英文界面，下次启动时也使用英文</source>
        <translation>English interface, now and at the next start</translation>
    </message>
    <message>
        <source>无法打开：%1</source>
        <translation>Cannot open: %1</translation>
    </message>
    <message>
        <source>打开所在文件夹</source>
        <translation>Open Containing Folder</translation>
    </message>
    <message>
        <source>无法读取：%1</source>
        <translation>Cannot read: %1</translation>
    </message>
    <message>
        <source>已复制到剪贴板：%1</source>
        <translation>Copied to the clipboard: %1</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>把“%1”移到回收站？</source>
        <translation>Move “%1” to the trash?</translation>
    </message>
    <message>
        <source>无法删除：%1</source>
        <translation>Cannot delete: %1</translation>
    </message>
    <message>
        <source>已移到回收站：%1</source>
        <translation>Moved to the trash: %1</translation>
    </message>
    <message>
        <source>开始录像</source>
        <translation>Start Recording</translation>
    </message>
    <message>
        <source>录像</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>把画面连同特效、相框和挂件录成视频，再按一次停止</source>
        <translation>Records the picture with its effects, frame and add-ons as a video; press again to stop</translation>
    </message>
    <message>
        <source>停止录像</source>
        <translation>Stop Recording</translation>
    </message>
    <message>
        <source>动图</source>
        <translation>Animated GIF</translation>
    </message>
    <message>
        <source>2 秒</source>
        <translation>2 seconds</translation>
    </message>
    <message>
        <source>3 秒</source>
        <translation>3 seconds</translation>
    </message>
    <message>
        <source>5 秒</source>
        <translation>5 seconds</translation>
    </message>
    <message>
        <source>四连拍</source>
        <translation>Burst Strip</translation>
    </message>
    <message>
        <source>倒计时后连拍四张，并拼成一张四格照片</source>
        <translation>After the countdown, takes four photos and puts them together on one strip</translation>
    </message>
    <message>
        <source>四连拍：倒计时结束后连拍四张</source>
        <translation>Burst strip: four photos after the countdown</translation>
    </message>
    <message>
        <source>贴脸挂件</source>
        <translation>Stickers on Faces</translation>
    </message>
    <message>
        <source>按钮点中状态下，放到脸上的挂件会跟着脸移动和缩放；拖离脸部即可取下</source>
        <translation>While this button is pressed, a sticker put on a face moves and scales with it; drag it off the face to take it off</translation>
    </message>
    <message>
        <source>显示人脸框</source>
        <translation>Show Face Boxes</translation>
    </message>
    <message>
        <source>贴脸挂件开启时，在画面上框出找到的人脸（只显示在屏幕上）</source>
        <translation>While stickers follow faces, frames the faces found in the picture (on the screen only)</translation>
    </message>
    <message>
        <source>找不到人脸检测数据，贴脸挂件无法使用（请安装 opencv-data）</source>
        <translation>No face detection data found, so stickers cannot follow faces (install opencv-data)</translation>
    </message>
    <message>
        <source>LOOGO状态：隐藏</source>
        <translation>Logo: Hidden</translation>
    </message>
    <message>
        <source>相框状态：隐藏</source>
        <translation>Frame: Hidden</translation>
    </message>
    <message>
        <source>挂件状态：隐藏</source>
        <translation>Stickers: Hidden</translation>
    </message>
    <message>
        <source>选用相框</source>
        <translation>Use Frame</translation>
    </message>
    <message>
        <source>^_^相框暂时无法添加

目前相框状态为：隐藏~

请首先切换相框状态为：显示~~</source>
        <translation>^_^ The frame cannot be added now

The frame is hidden at the moment~

Please switch the frame to shown first~~</translation>
    </message>
    <message>
        <source>添加挂件</source>
        <translation>Add Sticker</translation>
    </message>
    <message>
        <source>这个挂件的图片太大，无法添加：%1</source>
        <translation>This sticker&apos;s pictures are too large to add: %1</translation>
    </message>
    <message>
        <source>^_^挂件暂时无法添加

目前挂件状态为：隐藏~

请首先切换挂件状态为：显示~~</source>
        <translation>^_^ The sticker cannot be added now

The stickers are hidden at the moment~

Please switch the stickers to shown first~~</translation>
    </message>
    <message>
        <source>正在录制 %1 秒动图</source>
        <translation>Recording a %1-second animated GIF</translation>
    </message>
    <message>
        <source>请先开启摄像机</source>
        <translation>Switch the camera on first</translation>
    </message>
    <message>
        <source>删除此挂件</source>
        <translation>Remove This Sticker</translation>
    </message>
    <message>
        <source>删除鼠标下的挂件（或刚拖动过的挂件）</source>
        <translation>Removes the sticker under the mouse (or the one last dragged)</translation>
    </message>
    <message>
        <source>移除相框</source>
        <translation>Remove the Frame</translation>
    </message>
    <message>
        <source>把相框从画面上拿掉</source>
        <translation>Takes the frame off the picture</translation>
    </message>
    <message>
        <source>打开摄像窗口</source>
        <translation>Open the Camera Window</translation>
    </message>
    <message>
        <source>重新打开关闭了的摄像窗口（也可双击空白处）</source>
        <translation>Opens the camera window again after it was closed (or double-click the empty area)</translation>
    </message>
    <message>
        <source>声音</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>找不到可以放入“%1”的回收站。

要永久删除它吗？永久删除后无法恢复。</source>
        <translation>There is no trash that can take “%1”.

Delete it for good? It cannot be brought back.</translation>
    </message>
    <message>
        <source>永久删除</source>
        <translation>Delete for Good</translation>
    </message>
    <message>
        <source>未删除：%1</source>
        <translation>Not deleted: %1</translation>
    </message>
    <message>
        <source>YCrCb 模式中只有通道1（亮度）随亮度/对比度变化</source>
        <translation>In YCrCb only channel 1 (luma) follows brightness and contrast</translation>
    </message>
    <message>
        <source>HSV 和 HLS 模式中通道1是色相，色相不随亮度/对比度变化</source>
        <translation>In HSV and HLS channel 1 is the hue, which brightness and contrast do not change</translation>
    </message>
    <message>
        <source>折叠功能区</source>
        <translation>Fold the Ribbon</translation>
    </message>
    <message>
        <source>只显示选项卡名称；再按一次展开功能区</source>
        <translation>Show only the tab names; press again to unfold the ribbon</translation>
    </message>
    <message>
        <source>已永久删除：%1</source>
        <translation>Deleted for good: %1</translation>
    </message>
    <message>
        <source>拍照、连拍和开始录像时响起快门声，倒计时的最后三秒滴答作响；取消勾选则静音</source>
        <translation>A shutter click for every photo, burst and recording start, and a tick in the last three seconds of a countdown; untick for silence</translation>
    </message>
    <message>
        <source>画面已复制到剪贴板</source>
        <translation>Picture copied to the clipboard</translation>
    </message>
    <message>
        <source>请先把鼠标移到要删除的挂件上</source>
        <translation>Move the mouse onto the sticker to remove first</translation>
    </message>
    <message>
        <source>背景</source>
        <translation>Backdrop</translation>
    </message>
    <message>
        <source>无法打开这个背景：%1</source>
        <translation>Cannot open this backdrop: %1</translation>
    </message>
    <message>
        <source>开启摄像机后，先学习背景</source>
        <translation>Start the camera, then learn the backdrop</translation>
    </message>
    <message>
        <source>绿幕</source>
        <translation>Green Screen</translation>
    </message>
    <message>
        <source>用这种颜色的幕布把人和背景分开，无需学习背景</source>
        <translation>Tell you from a cloth of this colour behind you; no learning needed</translation>
    </message>
    <message>
        <source>背景替换</source>
        <translation>Replace Backdrop</translation>
    </message>
    <message>
        <source>把你身后的房间换成另一幅画面；第一次使用时先学习空房间</source>
        <translation>Put another picture behind you instead of the room; the first time, the empty room is learnt</translation>
    </message>
    <message>
        <source>学习背景</source>
        <translation>Learn Backdrop</translation>
    </message>
    <message>
        <source>倒数三秒，请离开画面，让程序记住空房间的样子</source>
        <translation>Counts down three seconds: leave the picture so the empty room can be learnt</translation>
    </message>
    <message>
        <source>身后挂一块绿色或蓝色的布，按颜色分开人和背景</source>
        <translation>Hang a green or blue cloth behind you: its colour tells you from the backdrop</translation>
    </message>
    <message>
        <source>绿色</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>点击画面取色</source>
        <translation>Click the Picture for the Colour</translation>
    </message>
    <message>
        <source>在画面上点一下幕布，用那里的颜色分开人和背景</source>
        <translation>Click the cloth in the picture: its colour there tells you from the backdrop</translation>
    </message>
    <message>
        <source>请在画面上点一下幕布</source>
        <translation>Click the cloth in the picture</translation>
    </message>
    <message>
        <source>虚化背景</source>
        <translation>Blur Backdrop</translation>
    </message>
    <message>
        <source>人物清晰，身后的房间变得模糊</source>
        <translation>You stay sharp, the room behind you is blurred</translation>
    </message>
    <message>
        <source>背景画面</source>
        <translation>Backdrops</translation>
    </message>
    <message>
        <source>选一幅背景：图片、动图或循环播放的视频，也可以放进你自己的背景文件夹</source>
        <translation>Choose a backdrop: a picture, an animated GIF or a looping video; add your own in your backdrop folder</translation>
    </message>
    <message>
        <source>背景文件夹...</source>
        <translation>Backdrop Folder...</translation>
    </message>
    <message>
        <source>背景文件夹</source>
        <translation>Backdrop Folder</translation>
    </message>
    <message>
        <source>选择放你自己的背景图片、动图和视频的文件夹</source>
        <translation>Choose the folder of your own backdrop pictures, GIFs and videos</translation>
    </message>
    <message>
        <source>选择背景文件夹</source>
        <translation>Choose the backdrop folder</translation>
    </message>
    <message>
        <source>背景文件夹：%1</source>
        <translation>Backdrop folder: %1</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>凸透镜</source>
        <translation>Bulge</translation>
    </message>
    <message>
        <source>凹透镜</source>
        <translation>Pinch</translation>
    </message>
    <message>
        <source>漩涡</source>
        <translation>Twirl</translation>
    </message>
    <message>
        <source>拉长</source>
        <translation>Stretch</translation>
    </message>
    <message>
        <source>压扁</source>
        <translation>Squeeze</translation>
    </message>
    <message>
        <source>鱼眼</source>
        <translation>Fish-eye</translation>
    </message>
    <message>
        <source>左右对称</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <source>万花筒</source>
        <translation>Kaleidoscope</translation>
    </message>
    <message>
        <source>光隧道</source>
        <translation>Light tunnel</translation>
    </message>
    <message>
        <source>大头</source>
        <translation>Big head</translation>
    </message>
    <message>
        <source>瘦脸</source>
        <translation>Thin face</translation>
    </message>
    <message>
        <source>热成像</source>
        <translation>Thermal</translation>
    </message>
    <message>
        <source>X光</source>
        <translation>X-ray</translation>
    </message>
    <message>
        <source>漫画</source>
        <translation>Comic</translation>
    </message>
    <message>
        <source>波普</source>
        <translation>Pop art</translation>
    </message>
    <message>
        <source>马赛克</source>
        <translation>Mosaic</translation>
    </message>
    <message>
        <source>老电影</source>
        <translation>Old film</translation>
    </message>
    <message>
        <source>原图</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>关闭趣味特效，恢复原图</source>
        <translation>Turns the fun effect off: the picture as it is</translation>
    </message>
    <message>
        <source>画面中间鼓起来，像凸透镜</source>
        <translation>The middle of the picture swells, as through a convex lens</translation>
    </message>
    <message>
        <source>画面中间缩进去，像凹透镜</source>
        <translation>The middle of the picture shrinks, as through a concave lens</translation>
    </message>
    <message>
        <source>画面中间旋转成漩涡</source>
        <translation>The middle of the picture turns into a whirl</translation>
    </message>
    <message>
        <source>把画面拉长，变成高个子</source>
        <translation>Stretches the picture: everyone grows tall</translation>
    </message>
    <message>
        <source>把画面压扁，变成矮胖子</source>
        <translation>Squeezes the picture: everyone grows short and round</translation>
    </message>
    <message>
        <source>像透过鱼眼镜头看世界</source>
        <translation>The world through a fish-eye lens</translation>
    </message>
    <message>
        <source>左半边照到右半边，左右一模一样</source>
        <translation>The left half mirrored onto the right: both sides the same</translation>
    </message>
    <message>
        <source>六瓣对称的万花筒</source>
        <translation>A kaleidoscope of six equal segments</translation>
    </message>
    <message>
        <source>中间的画面向四周拉成光的隧道</source>
        <translation>The middle of the picture drawn out into a tunnel of light</translation>
    </message>
    <message>
        <source>脸变得大大的，跟着脸走</source>
        <translation>A big head that follows the face</translation>
    </message>
    <message>
        <source>脸变得瘦瘦的，跟着脸走</source>
        <translation>A thin face that follows the face</translation>
    </message>
    <message>
        <source>像热像仪一样用颜色表示冷热</source>
        <translation>False colours from cold to hot, like a thermal camera</translation>
    </message>
    <message>
        <source>像X光片一样的蓝色透视</source>
        <translation>An inverted blue look, like an X-ray</translation>
    </message>
    <message>
        <source>平涂的颜色和墨线，像漫画书</source>
        <translation>Flat colours and ink lines, like a comic book</translation>
    </message>
    <message>
        <source>四格四种颜色的波普艺术</source>
        <translation>Pop art: four tiles in four colourings</translation>
    </message>
    <message>
        <source>大块的马赛克像素</source>
        <translation>Large mosaic pixels</translation>
    </message>
    <message>
        <source>泛黄、划痕和闪烁的老电影</source>
        <translation>An old film: sepia, scratches and flicker</translation>
    </message>
    <message>
        <source>趣味特效</source>
        <translation>Fun effects</translation>
    </message>
    <message>
        <source>哈哈镜、万花筒、热成像……一次选一种，叠在特效风格之上</source>
        <translation>Funhouse mirrors, a kaleidoscope, thermal colours…: one at a time, over the effect style</translation>
    </message>
    <message>
        <source>特效预览</source>
        <translation>Effect preview</translation>
    </message>
    <message>
        <source>图像区显示九宫格的实时预览，点一格就选中那个特效；方向键或滚轮翻页，Esc 退出</source>
        <translation>The picture area shows nine live previews; click one to choose its effect; the arrow keys or the wheel turn the pages, Esc leaves</translation>
    </message>
    <message>
        <source>打开摄像头后才能预览</source>
        <translation>Start the camera to see the previews</translation>
    </message>
    <message>
        <source>打开摄像头后才能预览特效</source>
        <translation>Start the camera to preview the effects</translation>
    </message>
    <message>
        <source>上一页</source>
        <translation>Previous page</translation>
    </message>
    <message>
        <source>预览上一页的特效</source>
        <translation>The previous page of effects</translation>
    </message>
    <message>
        <source>下一页</source>
        <translation>Next page</translation>
    </message>
    <message>
        <source>预览下一页的特效</source>
        <translation>The next page of effects</translation>
    </message>
    <message>
        <source>趣味特效：%1</source>
        <translation>Fun effects: %1</translation>
    </message>
    <message>
        <source>打开背景文件夹</source>
        <translation>Open Backdrop Folder</translation>
    </message>
    <message>
        <source>在文件管理器中打开你自己的背景文件夹，把图片、动图和视频放进去</source>
        <translation>Opens your own backdrop folder in the file manager: put pictures, animated GIFs and videos there</translation>
    </message>
    <message>
        <source>背景文件夹不存在：%1</source>
        <translation>The backdrop folder does not exist: %1</translation>
    </message>
    <message>
        <source>无法打开背景文件夹：%1</source>
        <translation>Cannot open the backdrop folder: %1</translation>
    </message>
    <message>
        <source>撤销笔画</source>
        <translation>Undo Stroke</translation>
    </message>
    <message>
        <source>撤销最近画的一笔，可连续撤销 20 步；清除涂鸦后也能撤销，找回整幅涂鸦</source>
        <translation>Takes back the last stroke, up to 20 steps; after Clear Doodle it brings the whole doodle back</translation>
    </message>
    <message>
        <source>没有可以撤销的涂鸦</source>
        <translation>No doodle to undo</translation>
    </message>
    <message>
        <source>上一张</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>看前一个（更新的）文件，照片栏中它的左边那个</source>
        <translation>Shows the file before (newer), left of it in the photo strip</translation>
    </message>
    <message>
        <source>下一张</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>看后一个（更早的）文件，照片栏中它的右边那个</source>
        <translation>Shows the file after (older), right of it in the photo strip</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>暂停或播放</source>
        <translation>Pause or Play</translation>
    </message>
    <message>
        <source>让动图或视频停在这一帧，再按一次接着播放</source>
        <translation>Holds the animated GIF or video at this frame; press again to play on</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>关闭照片查看，回到乐影屋</source>
        <translation>Closes the photo viewer and goes back to Parvel Webcam</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <source>在乐影屋里放大查看，用左右方向键翻看其他照片</source>
        <translation>Shows it large in Parvel Webcam; the left and right arrow keys go through the other photos</translation>
    </message>
    <message>
        <source>打开方式</source>
        <translation>Open With</translation>
    </message>
    <message>
        <source>交给系统中打开这类文件的程序</source>
        <translation>Hands it to the program the system opens such files with</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>把这张图片复制到剪贴板（动图和视频：正在显示的这一帧）</source>
        <translation>Copies this picture to the clipboard (animated GIFs and videos: the frame shown)</translation>
    </message>
    <message>
        <source>把这个文件移到回收站</source>
        <translation>Moves this file to the trash</translation>
    </message>
    <message>
        <source>动图长度</source>
        <translation>GIF Length</translation>
    </message>
    <message>
        <source>动图长度：%1 秒</source>
        <translation>GIF length: %1 seconds</translation>
    </message>
    <message>
        <source>把接下来几秒的画面录成循环播放的动图；长度在下拉菜单中选，或按 Ctrl+Shift+2、3、5</source>
        <translation>Records the next few seconds of the picture as a looping animated GIF; choose its length in the drop-down, or press Ctrl+Shift+2, 3 or 5</translation>
    </message>
    <message>
        <source>接下来录制的动图长 2 秒</source>
        <translation>The next animated GIF lasts 2 seconds</translation>
    </message>
    <message>
        <source>接下来录制的动图长 3 秒</source>
        <translation>The next animated GIF lasts 3 seconds</translation>
    </message>
    <message>
        <source>接下来录制的动图长 5 秒</source>
        <translation>The next animated GIF lasts 5 seconds</translation>
    </message>
    <message>
        <source>侧边栏</source>
        <translation>Side Pane</translation>
    </message>
    <message>
        <source>显示或隐藏侧边栏</source>
        <translation>Show or Hide the Side Pane</translation>
    </message>
    <message>
        <source>收起右侧的相框、挂件和照片栏，让图像占用它的位置；再按一次恢复。也可双击图像和侧边栏之间的分隔条</source>
        <translation>Folds away the frames, add-ons and photos on the right so the picture takes their room; press again to bring them back. Double-clicking the divider between the picture and the pane does the same</translation>
    </message>
</context>
<context>
    <name>CustomizeDialog</name>
    <message>
        <source>自定义</source>
        <translation>Customize</translation>
    </message>
    <message>
        <source>选择窗口中显示的栏：</source>
        <translation>Choose the bars shown in the window:</translation>
    </message>
    <message>
        <source>功能区和标题栏不能同时隐藏：否则再也找不到任何命令。</source>
        <translation>The ribbon and the caption bar cannot both be hidden: no command could be reached any more.</translation>
    </message>
</context>
<context>
    <name>EditMenu</name>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
</context>
<context>
    <name>GifRecorder</name>
    <message>
        <source>动图保存失败：</source>
        <translation>Animated GIF not saved: </translation>
    </message>
    <message>
        <source>照片文件夹不存在（%1）</source>
        <translation>the photo folder does not exist (%1)</translation>
    </message>
    <message>
        <source>上一个动图还没有完成</source>
        <translation>the previous animated GIF is not finished yet</translation>
    </message>
    <message>
        <source>动图保存失败：没有录到画面</source>
        <translation>Animated GIF not saved: no picture was recorded</translation>
    </message>
    <message>
        <source>无法编码动图（%1）</source>
        <translation>cannot encode the animated GIF (%1)</translation>
    </message>
    <message>
        <source>无法在照片文件夹中写入文件（%1）</source>
        <translation>cannot write a file in the photo folder (%1)</translation>
    </message>
    <message>
        <source>写入动图时出错，磁盘可能已满（%1）</source>
        <translation>writing the animated GIF failed, the disk may be full (%1)</translation>
    </message>
    <message>
        <source>照片文件夹的位置上是一个文件，不是文件夹（%1）</source>
        <translation>the photo folder is a file, not a folder (%1)</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>乐影屋</source>
        <translation>Parvel Webcam</translation>
    </message>
    <message>
        <source>ParvelWebcam</source>
        <translation>Parvel Webcam</translation>
    </message>
</context>
<context>
    <name>PhotoCapture</name>
    <message>
        <source>照片保存失败：</source>
        <translation>Photo not saved: </translation>
    </message>
    <message>
        <source>照片文件夹不存在（%1）</source>
        <translation>the photo folder does not exist (%1)</translation>
    </message>
    <message>
        <source>无法在照片文件夹中写入文件（%1）</source>
        <translation>cannot write a file in the photo folder (%1)</translation>
    </message>
    <message>
        <source>写入照片时出错，磁盘可能已满（%1）</source>
        <translation>writing the photo failed, the disk may be full (%1)</translation>
    </message>
    <message>
        <source>摄像头没有送来画面，照片未拍摄</source>
        <translation>The camera sent no picture; no photo was taken</translation>
    </message>
    <message>
        <source>照片文件夹的位置上是一个文件，不是文件夹（%1）</source>
        <translation>the photo folder is a file, not a folder (%1)</translation>
    </message>
</context>
<context>
    <name>PictureSession</name>
    <message>
        <source>背景已记住</source>
        <translation>Backdrop learnt</translation>
    </message>
    <message>
        <source>没能记住背景：这一秒没有收到画面，请再试一次</source>
        <translation>The backdrop was not learnt: no picture came in that second. Please try again</translation>
    </message>
    <message>
        <source>场景变化了，请重新学习背景</source>
        <translation>The scene has changed, please learn the backdrop again</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>加载配置文件失败！</source>
        <translation>Loading the settings file failed!</translation>
    </message>
    <message>
        <source>找回了上次没有保存完的录像：%1</source>
        <translation>Recovered what the last run recorded but could not finish saving: %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>上次没有录完的录像无法播放，已删除（%1 段）</source>
        <translation>Unfinished recordings of the last run could not be played and were deleted (%1)</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>Ribbon</name>
    <message>
        <source>自动</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>%1 像素</source>
        <translation>%1 pixels</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>样式</source>
        <translation>Style</translation>
    </message>
    <message>
        <source>欢迎光临</source>
        <translation>Welcome</translation>
    </message>
    <message>
        <source>照相机</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>拍照</source>
        <translation>Photos</translation>
    </message>
    <message>
        <source>色彩：自定义通道</source>
        <translation>Colour: channels</translation>
    </message>
    <message>
        <source>通道 1</source>
        <translation>Channel 1</translation>
    </message>
    <message>
        <source>通道 2</source>
        <translation>Channel 2</translation>
    </message>
    <message>
        <source>通道 3</source>
        <translation>Channel 3</translation>
    </message>
    <message>
        <source>色彩：颜色模式</source>
        <translation>Colour: model</translation>
    </message>
    <message>
        <source>特效娱乐</source>
        <translation>Effects &amp; Fun</translation>
    </message>
    <message>
        <source>炫彩风格</source>
        <translation>Effect Styles</translation>
    </message>
    <message>
        <source>ROI关键区域</source>
        <translation>Region</translation>
    </message>
    <message>
        <source>图像翻转</source>
        <translation>Flip</translation>
    </message>
    <message>
        <source>光流互动</source>
        <translation>Optical Flow</translation>
    </message>
    <message>
        <source>挥毫泼墨</source>
        <translation>Doodle</translation>
    </message>
    <message>
        <source>精美相框</source>
        <translation>Frames</translation>
    </message>
    <message>
        <source>大相框设置</source>
        <translation>Big frame</translation>
    </message>
    <message>
        <source>小挂件设置</source>
        <translation>Stickers</translation>
    </message>
    <message>
        <source>文件查看</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>文件存储设置</source>
        <translation>Folders</translation>
    </message>
    <message>
        <source>软件助手</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>访问我的博客提出您的建议~</source>
        <translation>Visit my blog and leave your suggestions~</translation>
    </message>
    <message>
        <source>视图</source>
        <translation>View</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>录像</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>背景</source>
        <translation>Backdrop</translation>
    </message>
    <message>
        <source>趣味特效</source>
        <translation>Fun effects</translation>
    </message>
</context>
<context>
    <name>SettingsNotice</name>
    <message>
        <source>图像宽度</source>
        <translation>picture width</translation>
    </message>
    <message>
        <source>图像高度</source>
        <translation>picture height</translation>
    </message>
    <message>
        <source>摄像头检测标记</source>
        <translation>camera detected mark</translation>
    </message>
    <message>
        <source>延时秒数</source>
        <translation>delay seconds</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>setting</translation>
    </message>
    <message>
        <source>B%1（%2）为“%3”，改用 %4</source>
        <translation>B%1 (%2) is &quot;%3&quot;, using %4</translation>
    </message>
    <message>
        <source>配置文件中的数值无法使用：</source>
        <translation>Values in the settings file cannot be used: </translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>VideoRecorder</name>
    <message>
        <source>录像保存失败：</source>
        <translation>Video not saved: </translation>
    </message>
    <message>
        <source>已经在录像</source>
        <translation>already recording</translation>
    </message>
    <message>
        <source>照片文件夹不存在（%1）</source>
        <translation>the photo folder does not exist (%1)</translation>
    </message>
    <message>
        <source>录像保存失败：没有画面</source>
        <translation>Video not saved: no picture</translation>
    </message>
    <message>
        <source>磁盘空间不足（%1）</source>
        <translation>not enough disk space (%1)</translation>
    </message>
    <message>
        <source>无法在照片文件夹中写入文件（%1）</source>
        <translation>cannot write a file in the photo folder (%1)</translation>
    </message>
    <message>
        <source>没有可用的视频编码器（%1）</source>
        <translation>no video encoder is available (%1)</translation>
    </message>
    <message>
        <source>正在录像（%1）</source>
        <translation>Recording (%1)</translation>
    </message>
    <message>
        <source>正在录像（本机没有 H.264 编码器，改用 %1）</source>
        <translation>Recording (no H.264 encoder here, using %1 instead)</translation>
    </message>
    <message>
        <source>录像保存失败：没有录到画面</source>
        <translation>Video not saved: no picture was recorded</translation>
    </message>
    <message>
        <source>写入录像时出错，磁盘可能已满（%1）</source>
        <translation>writing the video failed, the disk may be full (%1)</translation>
    </message>
    <message>
        <source>照片文件夹的位置上是一个文件，不是文件夹（%1）</source>
        <translation>the photo folder is a file, not a folder (%1)</translation>
    </message>
    <message>
        <source>照片文件夹在录像时被删除了（%1）</source>
        <translation>the photo folder was deleted during the recording (%1)</translation>
    </message>
    <message>
        <source>照片文件夹在录像时被移走了，录像保存在：%1</source>
        <translation>The photo folder was moved during the recording; the video is kept at: %1</translation>
    </message>
</context>
</TS>
