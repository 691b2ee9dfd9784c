<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>HistoryPanel</name>
    <message>
        <source>历史记录</source>
        <translation>History</translation>
    </message>
    <message>
        <source>打开时的场景</source>
        <translation>Scene as opened</translation>
    </message>
</context>
<context>
    <name>Keys</name>
    <message>
        <source>打开方案</source>
        <translation>Open scheme</translation>
    </message>
    <message>
        <source>保存方案</source>
        <translation>Save scheme</translation>
    </message>
    <message>
        <source>方案另存为</source>
        <translation>Save scheme as</translation>
    </message>
    <message>
        <source>保存效果图</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>删除选中的模型</source>
        <translation>Delete the selected model</translation>
    </message>
    <message>
        <source>模型的下一个角度</source>
        <translation>Next angle of the model</translation>
    </message>
    <message>
        <source>方向键</source>
        <translation>Arrow keys</translation>
    </message>
    <message>
        <source>移动选中的模型一个像素</source>
        <translation>Move the selected model by one pixel</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>适合窗口</source>
        <translation>Fit to window</translation>
    </message>
    <message>
        <source>Ctrl+滚轮</source>
        <translation>Ctrl+Wheel</translation>
    </message>
    <message>
        <source>以鼠标所指处为中心缩放</source>
        <translation>Zoom about the mouse pointer</translation>
    </message>
    <message>
        <source>使用说明</source>
        <translation>How to use</translation>
    </message>
    <message>
        <source>原图对比：原图与效果左右对照</source>
        <translation>Before and after: the photo beside the result</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>打开方案</source>
        <translation>Open scheme</translation>
    </message>
    <message>
        <source>保存方案</source>
        <translation>Save scheme</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>退出软件</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>方案另存为...</source>
        <translation>Save scheme as...</translation>
    </message>
    <message>
        <source>保存效果图</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>产品维护</source>
        <translation>Product maintenance</translation>
    </message>
    <message>
        <source>使用说明</source>
        <translation>How to use</translation>
    </message>
    <message>
        <source>删除模型</source>
        <translation>Delete model</translation>
    </message>
    <message>
        <source>本地模板</source>
        <translation>Local templates</translation>
    </message>
    <message>
        <source>在线模板</source>
        <translation>Online templates</translation>
    </message>
    <message>
        <source>选择材料</source>
        <translation>Choose material</translation>
    </message>
    <message>
        <source>材料编辑</source>
        <translation>Edit material</translation>
    </message>
    <message>
        <source>特效</source>
        <translation>Effects</translation>
    </message>
    <message>
        <source>阴影</source>
        <translation>Shadow</translation>
    </message>
    <message>
        <source>产品报表</source>
        <translation>Product report</translation>
    </message>
    <message>
        <source>编辑模板</source>
        <translation>Edit template</translation>
    </message>
    <message>
        <source>保存为模板</source>
        <translation>Save as template</translation>
    </message>
    <message>
        <source>从照片新建方案</source>
        <translation>New scheme from photo</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>产品(&amp;P)</source>
        <translation>&amp;Products</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>发送给客户</source>
        <translation>Send to customer</translation>
    </message>
    <message>
        <source>店铺设置...</source>
        <translation>Shop settings...</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>您没有维护权限，不能保存模板。</source>
        <translation>You have no maintenance rights and cannot save templates.</translation>
    </message>
    <message>
        <source>当前没有区域数据。</source>
        <translation>There are no regions in the current scheme.</translation>
    </message>
    <message>
        <source>确实要删除选中内容?</source>
        <translation>Do you really want to delete the selection?</translation>
    </message>
    <message>
        <source>未获得正确产品信息，请咨询客服。</source>
        <translation>The product information could not be obtained. Please contact customer service.</translation>
    </message>
    <message>
        <source>正在下载产品图片......</source>
        <translation>Downloading the product picture......</translation>
    </message>
    <message>
        <source>产品图片下载失败，请咨询在线客服。</source>
        <translation>The product picture could not be downloaded. Please contact online customer service.</translation>
    </message>
    <message>
        <source>产品模型下载失败，请咨询在线客服。</source>
        <translation>The product model could not be downloaded. Please contact online customer service.</translation>
    </message>
    <message>
        <source>请先选择材料产品。</source>
        <translation>Please choose a material product first.</translation>
    </message>
    <message>
        <source>你可以拖动物体中心按钮，对模型移动！拖拽四个角点或中点可以改变物体透视，shift按下时保持水平或垂直。</source>
        <translation>Drag the centre button to move the model. Drag the four corners or the middle points to change its perspective; hold Shift to keep it horizontal or vertical.</translation>
    </message>
    <message>
        <source>请点击选择产品！或者点击开始铺贴！</source>
        <translation>Please click Choose material, or click Start laying.</translation>
    </message>
    <message>
        <source>旋转模型角度请按快捷键R,或点击左右按钮</source>
        <translation>To turn the model, press R or click the left and right buttons.</translation>
    </message>
    <message>
        <source>是要替换模型吗 ?</source>
        <translation>Replace the model?</translation>
    </message>
    <message>
        <source>适合窗口</source>
        <translation>Fit to window</translation>
    </message>
    <message>
        <source>找不到模板工具程序v2dtool.exe,请确认是否正确安装软件。</source>
        <translation>The template tool v2dtool cannot be found. Please check that the software is installed correctly.</translation>
    </message>
    <message>
        <source>打开前你要保存当前方案吗 ?</source>
        <translation>Do you want to save the current scheme before opening another?</translation>
    </message>
    <message>
        <source>退出软件前你要保存方案吗 ?</source>
        <translation>Do you want to save the scheme before exiting?</translation>
    </message>
    <message>
        <source>是否退出软件?</source>
        <translation>Exit the program?</translation>
    </message>
    <message>
        <source>新方案</source>
        <translation>New scheme</translation>
    </message>
    <message>
        <source>方案文件已不存在，已从最近打开的方案中删除：
</source>
        <translation>The scheme file no longer exists and has been removed from the recent schemes:
</translation>
    </message>
    <message>
        <source>第 %1 行：%2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>写文件失败。%1</source>
        <translation>Could not write the file. %1</translation>
    </message>
    <message>
        <source>数据库错误：%1</source>
        <translation>Database error: %1</translation>
    </message>
    <message>
        <source>找不到产品数据库文件：%1</source>
        <translation>The product database file cannot be found: %1</translation>
    </message>
    <message>
        <source>更新数据库没有合并：%1</source>
        <translation>The update database was not merged: %1</translation>
    </message>
    <message>
        <source>%1 个产品添加完毕！</source>
        <translation>%1 products added!</translation>
    </message>
    <message>
        <source>每箱片数“%1”不是 0 或正整数。</source>
        <translation>Pieces per box &quot;%1&quot; is not 0 or a positive whole number.</translation>
    </message>
    <message>
        <source>文字超过 %1 个字。</source>
        <translation>The text is longer than %1 characters.</translation>
    </message>
    <message>
        <source>价格“%1”不是数字。</source>
        <translation>Price &quot;%1&quot; is not a number.</translation>
    </message>
    <message>
        <source>文件“%1”与第 %2 行重复。</source>
        <translation>File &quot;%1&quot; repeats line %2.</translation>
    </message>
    <message>
        <source>产品编号“%1”与第 %2 行重复。</source>
        <translation>Product number &quot;%1&quot; repeats line %2.</translation>
    </message>
    <message>
        <source>读取照片失败：%1</source>
        <translation>Could not read the photo: %1</translation>
    </message>
    <message>
        <source>照片格式不正确：%1</source>
        <translation>The photo format is not valid: %1</translation>
    </message>
    <message>
        <source>照片太小，至少需要 %1 × %2 像素：%3</source>
        <translation>The photo is too small; it must be at least %1 × %2 pixels: %3</translation>
    </message>
    <message>
        <source>照片太大（最多 6000 万像素、每边 30000 像素），请缩小后重新选择：%1</source>
        <translation>The photo is too large (at most 60 million pixels and 30000 pixels a side). Please make it smaller and choose it again: %1</translation>
    </message>
    <message>
        <source>这个版本不能读取 HEIC 照片，请在手机上把照片导出为 JPEG 后重新选择：%1</source>
        <translation>This build cannot read HEIC photos. Please export the photo as JPEG on the phone and choose it again: %1</translation>
    </message>
    <message>
        <source>图片文件已损坏：%1</source>
        <translation>The picture file is damaged: %1</translation>
    </message>
    <message>
        <source>区域“%1”的点(%2,%3)在照片之外。</source>
        <translation>Point (%2,%3) of region &quot;%1&quot; lies outside the photo.</translation>
    </message>
    <message>
        <source>区域“%1”至少需要三个点。</source>
        <translation>Region &quot;%1&quot; needs at least three points.</translation>
    </message>
    <message>
        <source>区域“%1”的实际宽度和高度必须大于0。</source>
        <translation>The real width and height of region &quot;%1&quot; must be greater than 0.</translation>
    </message>
    <message>
        <source>点(%1,%2)在照片之外。</source>
        <translation>Point (%1,%2) lies outside the photo.</translation>
    </message>
    <message>
        <source>文件太大：超过下载上限 %1（%2 中的 MaxDownloadMB）</source>
        <translation>The file is too large: it exceeds the download limit of %1 (MaxDownloadMB in %2)</translation>
    </message>
    <message>
        <source>传输失败：%1（curl 错误 %2），已收到 %3 字节</source>
        <translation>The transfer failed: %1 (curl error %2), %3 bytes received</translation>
    </message>
    <message>
        <source>无法连接服务器：%1</source>
        <translation>Cannot connect to the server: %1</translation>
    </message>
    <message>
        <source>无法写入文件 %1</source>
        <translation>Cannot write the file %1</translation>
    </message>
    <message>
        <source>服务器回答 HTTP %1</source>
        <translation>The server answered HTTP %1</translation>
    </message>
    <message>
        <source>数据不完整：收到 %1 字节，应为 %2 字节</source>
        <translation>Incomplete data: %1 bytes received, %2 bytes expected</translation>
    </message>
    <message>
        <source>%1 字节</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>报表模板文件不存在：%1</source>
        <translation>The report template file does not exist: %1</translation>
    </message>
    <message>
        <source>报表文件不存在：%1</source>
        <translation>The report file does not exist: %1</translation>
    </message>
    <message>
        <source>“%1”不是有效的整数。</source>
        <translation>&quot;%1&quot; is not a valid whole number.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 不是有效的整数值。</source>
        <translation>&apos;%1&apos; is not a valid whole number.</translation>
    </message>
    <message>
        <source>方案文件已不存在，已从最近打开的方案中删除：%1</source>
        <translation>The scheme file no longer exists and has been removed from the recent schemes: %1</translation>
    </message>
    <message>
        <source>%1函数加载失败</source>
        <translation>Could not load the function %1</translation>
    </message>
    <message>
        <source>已保存：%1</source>
        <translation>Saved: %1</translation>
    </message>
    <message>
        <source>Vexel 配色选材软件2011</source>
        <translation>Vexel Colour and Material Selection 2011</translation>
    </message>
    <message>
        <source>Vexel2D V2012专业版</source>
        <translation>Vexel2D V2012 Professional</translation>
    </message>
    <message>
        <source>提示：由于显示器色彩与实际颜色可能有程度不等色差，准确颜色以实际色卡为准</source>
        <translation>Note: screen colours may differ more or less from the real colours; the printed colour card shows the exact colour.</translation>
    </message>
    <message>
        <source>方案文件已不存在，已从最近打开的方案中删除：</source>
        <translation>The scheme file no longer exists and has been removed from the recent schemes:</translation>
    </message>
    <message>
        <source>区域或产品的实际尺寸为0，不能放入区域。</source>
        <translation>The real size of the region or the product is 0; it cannot be placed in the region.</translation>
    </message>
    <message>
        <source>请先选择区域。</source>
        <translation>Please select a region first.</translation>
    </message>
    <message>
        <source>选择集中有区域是组成员,请解组后再操作。</source>
        <translation>A selected region belongs to a group. Please ungroup it first.</translation>
    </message>
    <message>
        <source>请先在左面效果图上点选操作区域。</source>
        <translation>Please click the area to edit in the picture on the left first.</translation>
    </message>
    <message>
        <source>没有材料效果图。</source>
        <translation>There is no material picture.</translation>
    </message>
    <message>
        <source>请先选产品。</source>
        <translation>Please choose a product first.</translation>
    </message>
    <message>
        <source>当前为模型产品，不能铺贴。</source>
        <translation>The current product is a model and cannot be laid.</translation>
    </message>
    <message>
        <source>请先选中一个区域。</source>
        <translation>Please select a region first.</translation>
    </message>
    <message>
        <source>阴影区域不能铺贴。</source>
        <translation>A shadow region cannot be laid.</translation>
    </message>
    <message>
        <source>铺贴完成，如果满意，可以点击保存效果图</source>
        <translation>Laying finished. If you like it, click Save picture.</translation>
    </message>
    <message>
        <source>处理进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>数据库错误：表名或列名不合法</source>
        <translation>Database error: invalid table or column name</translation>
    </message>
    <message>
        <source>对不起，你没有修改产品类别的权限!</source>
        <translation>Sorry, you have no right to change product categories!</translation>
    </message>
    <message>
        <source>请选择大类节点。</source>
        <translation>Please select a main category.</translation>
    </message>
    <message>
        <source>不能删除有次类的大类。</source>
        <translation>A main category that has subcategories cannot be deleted.</translation>
    </message>
    <message>
        <source>请选择节点</source>
        <translation>Please select a category</translation>
    </message>
    <message>
        <source>请选择次类节点。</source>
        <translation>Please select a subcategory.</translation>
    </message>
    <message>
        <source>不能删除有下级节点的次类。</source>
        <translation>A subcategory that has categories below it cannot be deleted.</translation>
    </message>
    <message>
        <source>不能删除有产品的次类。</source>
        <translation>A subcategory that has products cannot be deleted.</translation>
    </message>
    <message>
        <source>名称不能为空。</source>
        <translation>The name cannot be empty.</translation>
    </message>
    <message>
        <source>数据库打不开：密码不正确，或者文件不是产品数据库。</source>
        <translation>The database cannot be opened: the password is wrong, or the file is not a product database.</translation>
    </message>
    <message>
        <source>请选择产品次类！</source>
        <translation>Please choose a product subcategory!</translation>
    </message>
    <message>
        <source>请先选择次类！</source>
        <translation>Please choose a subcategory first!</translation>
    </message>
    <message>
        <source>你要添加的是材料产品，请选择属于材料产品的类别。</source>
        <translation>You are adding a material product; please choose a category of material products.</translation>
    </message>
    <message>
        <source>图像文件格式只能为jpg文件。</source>
        <translation>Picture files can only be JPG files.</translation>
    </message>
    <message>
        <source>请选择一个库中产品！</source>
        <translation>Please choose a product in the library!</translation>
    </message>
    <message>
        <source>产品名不能为空!</source>
        <translation>The product name cannot be empty!</translation>
    </message>
    <message>
        <source>产品编号不能为空!</source>
        <translation>The product number cannot be empty!</translation>
    </message>
    <message>
        <source>更新成功！</source>
        <translation>Updated!</translation>
    </message>
    <message>
        <source>产品已不在库中，没有更新。</source>
        <translation>The product is no longer in the library; nothing was updated.</translation>
    </message>
    <message>
        <source>产品编号不能含有路径符号。</source>
        <translation>The product number cannot contain path characters.</translation>
    </message>
    <message>
        <source>产品编号已存在。</source>
        <translation>The product number already exists.</translation>
    </message>
    <message>
        <source>对不起，你没有修改产品信息的权限!</source>
        <translation>Sorry, you have no right to change product information!</translation>
    </message>
    <message>
        <source>对不起，你没有删除产品的权限!</source>
        <translation>Sorry, you have no right to delete products!</translation>
    </message>
    <message>
        <source>产品删除后将不能恢复,你确定要删除吗 ?</source>
        <translation>Deleted products cannot be restored. Do you really want to delete them?</translation>
    </message>
    <message>
        <source>不能把产品放到大类里。</source>
        <translation>Products cannot be put into a main category.</translation>
    </message>
    <message>
        <source>确实要改变产品所在类别吗 ?</source>
        <translation>Do you really want to move the products to another category?</translation>
    </message>
    <message>
        <source>每箱片数不能小于 0。</source>
        <translation>Pieces per box cannot be less than 0.</translation>
    </message>
    <message>
        <source>没有写文件名。</source>
        <translation>No file name given.</translation>
    </message>
    <message>
        <source>CSV 文件格式不正确：引号没有结束。</source>
        <translation>The CSV file is not valid: a quote is not closed.</translation>
    </message>
    <message>
        <source>CSV 文件格式不正确：没有标题行。</source>
        <translation>The CSV file is not valid: there is no header line.</translation>
    </message>
    <message>
        <source>CSV 文件格式不正确：标题行没有“file”列。</source>
        <translation>The CSV file is not valid: the header line has no &quot;file&quot; column.</translation>
    </message>
    <message>
        <source>文字不是 UTF-8 编码。</source>
        <translation>The text is not UTF-8 encoded.</translation>
    </message>
    <message>
        <source>密码不得为空，请重新输入。</source>
        <translation>The password cannot be empty. Please enter it again.</translation>
    </message>
    <message>
        <source>超级用户密码已设置，请重新登录。</source>
        <translation>The super user password is already set. Please log in again.</translation>
    </message>
    <message>
        <source>文件打不开。</source>
        <translation>The file cannot be opened.</translation>
    </message>
    <message>
        <source>文件不合法。</source>
        <translation>The file is not valid.</translation>
    </message>
    <message>
        <source>数据库错误：数据库没有打开</source>
        <translation>Database error: the database is not open</translation>
    </message>
    <message>
        <source>数据库错误：语句太长</source>
        <translation>Database error: statement too long</translation>
    </message>
    <message>
        <source>数据库错误：空语句</source>
        <translation>Database error: empty statement</translation>
    </message>
    <message>
        <source>数据库错误：事务已结束</source>
        <translation>Database error: the transaction has ended</translation>
    </message>
    <message>
        <source>数据库错误：文本太长</source>
        <translation>Database error: text too long</translation>
    </message>
    <message>
        <source>数据库错误：数据太长</source>
        <translation>Database error: data too long</translation>
    </message>
    <message>
        <source>数据库错误：参数个数不符</source>
        <translation>Database error: wrong number of parameters</translation>
    </message>
    <message>
        <source>不是jpg图片。</source>
        <translation>Not a JPG picture.</translation>
    </message>
    <message>
        <source>图片复制失败。</source>
        <translation>The picture could not be copied.</translation>
    </message>
    <message>
        <source>文件格式不正确</source>
        <translation>The file format is not valid</translation>
    </message>
    <message>
        <source>读底图数据失败</source>
        <translation>Could not read the background picture</translation>
    </message>
    <message>
        <source>写文件失败。</source>
        <translation>Could not write the file.</translation>
    </message>
    <message>
        <source>二维模型不存在。</source>
        <translation>The 2D model does not exist.</translation>
    </message>
    <message>
        <source>下载的内容不是所需的文件。</source>
        <translation>The downloaded content is not the file expected.</translation>
    </message>
    <message>
        <source>下载失败,请咨询在线客服。</source>
        <translation>The download failed. Please contact online customer service.</translation>
    </message>
    <message>
        <source>下载失败。</source>
        <translation>The download failed.</translation>
    </message>
    <message>
        <source>该文件正在下载，请稍候。</source>
        <translation>This file is being downloaded, please wait.</translation>
    </message>
    <message>
        <source>下载已停止。</source>
        <translation>The download was stopped.</translation>
    </message>
    <message>
        <source>无法启动网络连接</source>
        <translation>Cannot start the network connection</translation>
    </message>
    <message>
        <source>下载地址中没有可用的文件名。</source>
        <translation>The download address has no usable file name.</translation>
    </message>
    <message>
        <source>当前没有效果图。</source>
        <translation>There is no picture yet.</translation>
    </message>
    <message>
        <source>图像文件 (*.jpg)</source>
        <translation>Picture files (*.jpg)</translation>
    </message>
    <message>
        <source>不能进行，数据运算</source>
        <translation>Cannot continue: calculation error</translation>
    </message>
    <message>
        <source>产品的尺寸为0，不能铺贴。</source>
        <translation>The product size is 0; it cannot be laid.</translation>
    </message>
    <message>
        <source>要铺的砖块太多（超过25万块），请检查产品尺寸和区域的实际尺寸。</source>
        <translation>Too many tiles to lay (more than 250,000). Please check the product size and the real size of the region.</translation>
    </message>
    <message>
        <source>未知的铺贴方式，不能铺贴。</source>
        <translation>Unknown laying pattern; it cannot be laid.</translation>
    </message>
    <message>
        <source>单击的位置在照片之外。</source>
        <translation>The click lies outside the photo.</translation>
    </message>
    <message>
        <source>在单击处没有找到表面。</source>
        <translation>No surface was found where you clicked.</translation>
    </message>
    <message>
        <source>照片无法读取。</source>
        <translation>The photo cannot be read.</translation>
    </message>
    <message>
        <source>照片太暗，请开灯或在白天光线充足时重新拍摄。</source>
        <translation>The photo is too dark. Please turn the lights on or take it again in daylight.</translation>
    </message>
    <message>
        <source>照片模糊，请拿稳手机、等对好焦后重新拍摄。</source>
        <translation>The photo is blurred. Please hold the phone steady, wait for it to focus and take it again.</translation>
    </message>
    <message>
        <source>照片太小，至少需要 320 × 240 像素，请用手机或相机拍摄的原图重新选择。</source>
        <translation>The photo is too small: at least 320 × 240 pixels are needed. Please choose the original photo from the phone or camera.</translation>
    </message>
    <message>
        <source>照片太大，无法分析（最多 6000 万像素），请缩小后重新选择。</source>
        <translation>The photo is too large to analyse (at most 60 million pixels). Please make it smaller and choose it again.</translation>
    </message>
    <message>
        <source>标定的长度必须大于0。</source>
        <translation>The calibration length must be greater than 0.</translation>
    </message>
    <message>
        <source>标定线的两端不能重合。</source>
        <translation>The two ends of the calibration line cannot coincide.</translation>
    </message>
    <message>
        <source>无法从这四个角点确定透视。</source>
        <translation>The perspective cannot be found from these four corners.</translation>
    </message>
    <message>
        <source>标定线不在这个表面上。</source>
        <translation>The calibration line is not on this surface.</translation>
    </message>
    <message>
        <source>VexellDll.dll加载失败</source>
        <translation>Could not load the image library VexellDll</translation>
    </message>
    <message>
        <source>VexellDll.dll函数加载失败</source>
        <translation>Could not load the functions of the image library VexellDll</translation>
    </message>
    <message>
        <source>该样板房不存在，可能数据文件丢失！</source>
        <translation>This sample room does not exist; its data file may be lost!</translation>
    </message>
    <message>
        <source>直铺</source>
        <translation>Straight</translation>
    </message>
    <message>
        <source>工字铺</source>
        <translation>Brick bond</translation>
    </message>
    <message>
        <source>三分之一错缝</source>
        <translation>1/3 offset</translation>
    </message>
    <message>
        <source>斜铺</source>
        <translation>Diagonal</translation>
    </message>
    <message>
        <source>人字铺</source>
        <translation>Herringbone</translation>
    </message>
    <message>
        <source>编织铺</source>
        <translation>Weave</translation>
    </message>
    <message>
        <source>片</source>
        <translation>piece</translation>
    </message>
    <message>
        <source>平方米</source>
        <translation>m²</translation>
    </message>
    <message>
        <source>箱</source>
        <translation>box</translation>
    </message>
    <message>
        <source>操作提示：</source>
        <translation>Notice:</translation>
    </message>
    <message>
        <source>A.请选择装饰部位列表框中的装饰部位！B.或则在场景中选择要装饰的部位!</source>
        <translation>A. Choose a region in the list of regions, or B. click the region to decorate in the scene.</translation>
    </message>
    <message>
        <source>只能编辑普通区域和阴影区域。</source>
        <translation>Only ordinary regions and shadow regions can be edited.</translation>
    </message>
    <message>
        <source>区域至少需要三个点。</source>
        <translation>A region needs at least three points.</translation>
    </message>
    <message>
        <source>区域是组成员,请解组后再删除。</source>
        <translation>The region belongs to a group. Please ungroup it before deleting.</translation>
    </message>
    <message>
        <source>请先选出表面或选择一个区域，再画出已知长度的线。</source>
        <translation>Please find a surface or select a region first, then draw a line of known length.</translation>
    </message>
    <message>
        <source>请输入色卡号！</source>
        <translation>Please enter a colour card number!</translation>
    </message>
    <message>
        <source>输入千色卡号不存在！</source>
        <translation>That thousand-colour card number does not exist!</translation>
    </message>
    <message>
        <source>输入建筑色卡号不存在！</source>
        <translation>That building colour card number does not exist!</translation>
    </message>
    <message>
        <source>点击选择颜色，双击选定并退出</source>
        <translation>Click to choose a colour, double-click to take it and close</translation>
    </message>
    <message>
        <source>选择文件 (*.jpg);;选择文件 (*.bmp)</source>
        <translation>Choose a file (*.jpg);;Choose a file (*.bmp)</translation>
    </message>
    <message>
        <source>色卡</source>
        <translation>Colour card</translation>
    </message>
    <message>
        <source>初始效果</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>应用到场景</source>
        <translation>Apply to scene</translation>
    </message>
    <message>
        <source>请输入要跳转到的页面</source>
        <translation>Please enter the page to go to</translation>
    </message>
    <message>
        <source>删除该模板文件后不能恢复，是否删除该模板文件?</source>
        <translation>A deleted template file cannot be restored. Delete this template file?</translation>
    </message>
    <message>
        <source>您没有维护权限，不能删除模板。</source>
        <translation>You have no maintenance rights and cannot delete templates.</translation>
    </message>
    <message>
        <source>铺贴</source>
        <translation>Laying</translation>
    </message>
    <message>
        <source>局部铺贴</source>
        <translation>Partial laying</translation>
    </message>
    <message>
        <source>放入材质</source>
        <translation>Drop material</translation>
    </message>
    <message>
        <source>亮度</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>反光</source>
        <translation>Reflection</translation>
    </message>
    <message>
        <source>涂色</source>
        <translation>Painting</translation>
    </message>
    <message>
        <source>色卡涂色</source>
        <translation>Colour card painting</translation>
    </message>
    <message>
        <source>铺贴效果</source>
        <translation>Laying effect</translation>
    </message>
    <message>
        <source>放置模型</source>
        <translation>Place model</translation>
    </message>
    <message>
        <source>替换模型</source>
        <translation>Replace model</translation>
    </message>
    <message>
        <source>绘制模型</source>
        <translation>Draw model</translation>
    </message>
    <message>
        <source>移动模型</source>
        <translation>Move model</translation>
    </message>
    <message>
        <source>变形模型</source>
        <translation>Reshape model</translation>
    </message>
    <message>
        <source>镜像模型</source>
        <translation>Mirror model</translation>
    </message>
    <message>
        <source>重置模型</source>
        <translation>Reset model</translation>
    </message>
    <message>
        <source>复制模型</source>
        <translation>Copy model</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>旋转模型</source>
        <translation>Turn model</translation>
    </message>
    <message>
        <source>阴影设置</source>
        <translation>Shadow settings</translation>
    </message>
    <message>
        <source>装饰线</source>
        <translation>Decoration line</translation>
    </message>
    <message>
        <source>调整顺序</source>
        <translation>Change order</translation>
    </message>
    <message>
        <source>正在创建工作文件夹 %1 …</source>
        <translation>Creating the workspace %1 …</translation>
    </message>
    <message>
        <source>文件不存在：%1</source>
        <translation>The file does not exist: %1</translation>
    </message>
    <message>
        <source>无法创建工作文件夹：%1</source>
        <translation>Cannot create the workspace folder: %1</translation>
    </message>
    <message>
        <source>--workspace 后面缺少文件夹</source>
        <translation>--workspace needs a folder after it</translation>
    </message>
    <message>
        <source>选择材料后点击“开始铺贴”；在区域中拖出矩形只铺贴矩形部分。</source>
        <translation>After choosing a material, click &quot;Start laying&quot;; drag a rectangle in a region to lay only that rectangle.</translation>
    </message>
    <message>
        <source>右键点击场景：编辑模板、保存为模板、打开和保存方案、产品维护。</source>
        <translation>Right-click the scene to edit a template, save as a template, open and save schemes, and maintain products.</translation>
    </message>
    <message>
        <source>效果图已保存到 %1</source>
        <translation>Picture saved to %1</translation>
    </message>
    <message>
        <source>报表已保存到 %1</source>
        <translation>Report saved to %1</translation>
    </message>
    <message>
        <source>无法启动浏览器打开报表。报表已保存到：
%1</source>
        <translation>No web browser could be started for the report. The report is saved in:
%1</translation>
    </message>
    <message>
        <source>当前没有区域数据，是否仍然保存方案？</source>
        <translation>The scheme has no regions. Save it anyway?</translation>
    </message>
    <message>
        <source>计价单位“%1”不是 piece、m2、box、roll（片、平方米、箱、卷）之一。</source>
        <translation>Price unit &quot;%1&quot; is not one of piece, m2, box, roll.</translation>
    </message>
    <message>
        <source>花距“%1”不是 0 到 %2 的整数（毫米）。</source>
        <translation>Pattern repeat &quot;%1&quot; is not a whole number of 0 to %2 (mm).</translation>
    </message>
    <message>
        <source>花距必须在 0 到 100000 毫米之间。</source>
        <translation>The pattern repeat must be between 0 and 100000 mm.</translation>
    </message>
    <message>
        <source>卷</source>
        <translation>roll</translation>
    </message>
    <message>
        <source>光照</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>客户网页已保存到 %1</source>
        <translation>Customer page saved to %1</translation>
    </message>
    <message>
        <source>方案中尚未铺贴产品，网页只有照片。网页已保存到 %1</source>
        <translation>Nothing is laid in the scheme yet; the page shows the photo only. Page saved to %1</translation>
    </message>
    <message>
        <source>无法启动浏览器打开网页。网页已保存到：
%1</source>
        <translation>Could not start a browser to open the page. The page was saved to:
%1</translation>
    </message>
</context>
<context>
    <name>SceneHandouts</name>
    <message>
        <source>文件已存在，是否覆盖原文件？</source>
        <translation>The file already exists. Overwrite it?</translation>
    </message>
</context>
<context>
    <name>SceneView</name>
    <message>
        <source>原图</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>效果</source>
        <translation>After</translation>
    </message>
</context>
<context>
    <name>TFormAbout</name>
    <message>
        <source>关于软件</source>
        <translation>About</translation>
    </message>
    <message>
        <source>配色选材软件</source>
        <translation>Colour &amp; Material Selection</translation>
    </message>
    <message>
        <source>V2012 专业版</source>
        <translation>V2012 Professional</translation>
    </message>
    <message>
        <source>选好材料，一键铺贴 —— 地面、墙面、橱柜面所见即所得</source>
        <translation>Choose a material, lay it in one click: floors, walls and cabinets as they will look</translation>
    </message>
</context>
<context>
    <name>UserPrompts</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>是(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>否(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>v2d::ComparisonView</name>
    <message>
        <source>取消对比</source>
        <translation>Cancel comparison</translation>
    </message>
    <message>
        <source>点击一种产品，把它铺入场景；Esc 取消对比</source>
        <translation>Click a product to lay it into the scene; Esc cancels the comparison</translation>
    </message>
</context>
<context>
    <name>v2d::LayingPatternBox</name>
    <message>
        <source>色卡</source>
        <translation>Cards</translation>
    </message>
    <message>
        <source>随机旋转</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>左上角</source>
        <translation>Corner</translation>
    </message>
    <message>
        <source>中心</source>
        <translation>Centre</translation>
    </message>
    <message>
        <source>铺贴方式</source>
        <translation>Pattern</translation>
    </message>
    <message>
        <source>起铺点</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>缝宽(mm)</source>
        <translation>Joint mm</translation>
    </message>
    <message>
        <source>缝色</source>
        <translation>Joint</translation>
    </message>
</context>
<context>
    <name>v2d::ModelMenu</name>
    <message>
        <source>横向镜像</source>
        <translation>Mirror horizontally</translation>
    </message>
    <message>
        <source>竖向镜像</source>
        <translation>Mirror vertically</translation>
    </message>
    <message>
        <source>重置模型</source>
        <translation>Reset model</translation>
    </message>
    <message>
        <source>复制模型</source>
        <translation>Copy model</translation>
    </message>
    <message>
        <source>删除模型</source>
        <translation>Delete model</translation>
    </message>
    <message>
        <source>旋转角度</source>
        <translation>Turn angle</translation>
    </message>
    <message>
        <source>阴影设置</source>
        <translation>Shadow settings</translation>
    </message>
</context>
<context>
    <name>v2d::OnlineTemplates</name>
    <message>
        <source>开始下载网上装修模板......</source>
        <translation>Downloading the online template......</translation>
    </message>
</context>
<context>
    <name>v2d::PhotoSchemeLauncher</name>
    <message>
        <source>照片(*.jpg *.jpeg *.png *.bmp *.heic *.heif)</source>
        <translation>Photos (*.jpg *.jpeg *.png *.bmp *.heic *.heif)</translation>
    </message>
</context>
<context>
    <name>v2d::ProductPanelWidget</name>
    <message>
        <source>销售商：</source>
        <translation>Dealer: </translation>
    </message>
    <message>
        <source>当前产品</source>
        <translation>Current product</translation>
    </message>
    <message>
        <source>名称：</source>
        <translation>Name: </translation>
    </message>
    <message>
        <source>编号：</source>
        <translation>Number: </translation>
    </message>
    <message>
        <source>价格：</source>
        <translation>Price: </translation>
    </message>
    <message>
        <source>宽(mm)</source>
        <translation>Width (mm)</translation>
    </message>
    <message>
        <source>高(mm)</source>
        <translation>Height (mm)</translation>
    </message>
    <message>
        <source>反射</source>
        <translation>Reflection</translation>
    </message>
    <message>
        <source>亮度调整</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>整铺</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>转90度</source>
        <translation>90°</translation>
    </message>
    <message>
        <source>镜像</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <source>叠加底图</source>
        <translation>Blend with photo</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>色卡</source>
        <translation>Cards</translation>
    </message>
    <message>
        <source>前景色</source>
        <translation>Front</translation>
    </message>
    <message>
        <source>环境色</source>
        <translation>Ambient</translation>
    </message>
    <message>
        <source>开始铺贴</source>
        <translation>Start laying</translation>
    </message>
    <message>
        <source>选择材料</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>选择模型</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>花型编辑</source>
        <translation>Pattern</translation>
    </message>
    <message>
        <source>透明</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>品牌：</source>
        <translation>Brand: </translation>
    </message>
    <message>
        <source>你可以拖拽产品图片到场景了</source>
        <translation>You can now drag the product picture into the scene</translation>
    </message>
    <message>
        <source>面积：%1 m²  约 %2 片</source>
        <translation>Area: %1 m² ≈ %2 pcs</translation>
    </message>
    <message>
        <source>面积：%1 m²  约 %2 卷</source>
        <translation>Area: %1 m² ≈ %2 rolls</translation>
    </message>
    <message>
        <source>对比</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>在选中的区域并排对比 2 到 4 种材料</source>
        <translation>Compare 2 to 4 materials side by side in the selected regions</translation>
    </message>
    <message>
        <source>请先选择要对比的区域。</source>
        <translation>Please select the regions to compare first.</translation>
    </message>
    <message>
        <source>在产品窗口中逐个“加入对比”，再点“对比”。</source>
        <translation>In the product window, &quot;Add to comparison&quot; one by one, then click &quot;Compare&quot;.</translation>
    </message>
</context>
<context>
    <name>v2d::RecentSchemesMenu</name>
    <message>
        <source>最近打开的方案</source>
        <translation>Recent schemes</translation>
    </message>
</context>
<context>
    <name>v2d::RegionListWidget</name>
    <message>
        <source>装饰部位</source>
        <translation>Regions</translation>
    </message>
    <message>
        <source>删除装饰边缘线</source>
        <translation>Remove outline</translation>
    </message>
    <message>
        <source>取消选择</source>
        <translation>Clear selection</translation>
    </message>
    <message>
        <source>隐藏提示</source>
        <translation>Hide hints</translation>
    </message>
</context>
<context>
    <name>v2d::SceneView</name>
    <message>
        <source>原图对比</source>
        <translation>Before/after</translation>
    </message>
    <message>
        <source>原图与效果左右对照，拖动分界线 (B)</source>
        <translation>The photo beside the result; drag the dividing line (B)</translation>
    </message>
    <message>
        <source>原图与效果的分界线</source>
        <translation>The line between the photo and the result</translation>
    </message>
</context>
<context>
    <name>v2d::ShopSettingsDialog</name>
    <message>
        <source>店铺设置</source>
        <translation>Shop settings</translation>
    </message>
    <message>
        <source>例如 http://192.168.1.5:8080/share（可不填）</source>
        <translation>e.g. http://192.168.1.5:8080/share (optional)</translation>
    </message>
    <message>
        <source>店铺名称：</source>
        <translation>Shop name:</translation>
    </message>
    <message>
        <source>地址：</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>电话：</source>
        <translation>Telephone:</translation>
    </message>
    <message>
        <source>客户网页发布地址：</source>
        <translation>Customer pages published at:</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>v2d::StatusStrip</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>停止正在进行的操作 (Esc)</source>
        <translation>Stop the operation under way (Esc)</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>视频教学</source>
        <translation>Video lessons</translation>
    </message>
    <message>
        <source>下载进度</source>
        <translation>Download progress</translation>
    </message>
</context>
<context>
    <name>v2d::TFormColor</name>
    <message>
        <source>电子色卡-色彩选择</source>
        <translation>Colour cards - choose a colour</translation>
    </message>
    <message>
        <source>推荐流行色</source>
        <translation>Popular colours</translation>
    </message>
    <message>
        <source>涂料千色卡</source>
        <translation>Paint thousand-colour card</translation>
    </message>
    <message>
        <source>300中国建筑色卡</source>
        <translation>300 building colours</translation>
    </message>
    <message>
        <source>色号:</source>
        <translation>Number:</translation>
    </message>
    <message>
        <source>选定</source>
        <translation>Take</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>清除旧材料</source>
        <translation>Clear old material</translation>
    </message>
</context>
<context>
    <name>v2d::TFormEffect</name>
    <message>
        <source>材质特效</source>
        <translation>Material effects</translation>
    </message>
    <message>
        <source>偏移</source>
        <translation>Offset</translation>
    </message>
    <message>
        <source>横向:</source>
        <translation>Across:</translation>
    </message>
    <message>
        <source>纵向:</source>
        <translation>Down:</translation>
    </message>
    <message>
        <source>凹凸效果</source>
        <translation>Relief</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>凸起</source>
        <translation>Raised</translation>
    </message>
    <message>
        <source>凹陷</source>
        <translation>Sunken</translation>
    </message>
    <message>
        <source>亮度</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>光照</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>照片原样</source>
        <translation>As in the photo</translation>
    </message>
    <message>
        <source>去除原有纹理</source>
        <translation>Without the old surface</translation>
    </message>
</context>
<context>
    <name>v2d::TFormHxImage</name>
    <message>
        <source>产品照片</source>
        <translation>Product photo</translation>
    </message>
</context>
<context>
    <name>v2d::TFormLoadType</name>
    <message>
        <source>产品调用方式</source>
        <translation>Product source</translation>
    </message>
    <message>
        <source>本地</source>
        <translation>Local</translation>
    </message>
    <message>
        <source>网上</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>v2d::TFormMain</name>
    <message>
        <source>Vexel2D
请打开方案或选择样板房</source>
        <translation>Vexel2D
Please open a scheme or choose a sample room</translation>
    </message>
    <message>
        <source>未命名方案</source>
        <translation>Untitled scheme</translation>
    </message>
    <message>
        <source>Vexel2D文件 (*.v2d)</source>
        <translation>Vexel2D files (*.v2d)</translation>
    </message>
    <message>
        <source>文件已存在，是否覆盖原文件？</source>
        <translation>The file already exists. Overwrite it?</translation>
    </message>
    <message>
        <source>打开Vexel2D文件(*.v2d)</source>
        <translation>Open Vexel2D files (*.v2d)</translation>
    </message>
</context>
<context>
    <name>v2d::TFormMatedit</name>
    <message>
        <source>材料图案编辑</source>
        <translation>Material pattern editor</translation>
    </message>
    <message>
        <source>原始花型</source>
        <translation>Original pattern</translation>
    </message>
    <message>
        <source>点击打开花型文件</source>
        <translation>Click to open a pattern file</translation>
    </message>
    <message>
        <source>编辑效果</source>
        <translation>Edited result</translation>
    </message>
    <message>
        <source>点击选择颜色或纹理</source>
        <translation>Click to choose a colour or texture</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>纹理</source>
        <translation>Texture</translation>
    </message>
    <message>
        <source>叠加</source>
        <translation>Blend</translation>
    </message>
    <message>
        <source>容差：</source>
        <translation>Tolerance:</translation>
    </message>
    <message>
        <source>当前选择</source>
        <translation>Current choice</translation>
    </message>
    <message>
        <source>点击选择纹理文件</source>
        <translation>Click to choose a texture file</translation>
    </message>
    <message>
        <source>无纹理</source>
        <translation>No texture</translation>
    </message>
    <message>
        <source>缩放</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>原始花型(%1*%2)</source>
        <translation>Original pattern (%1*%2)</translation>
    </message>
    <message>
        <source>文件格式不正确</source>
        <translation>The file format is not valid</translation>
    </message>
</context>
<context>
    <name>v2d::TFormProductIE</name>
    <message>
        <source>选择%1家居产品</source>
        <translation>Choose %1 home products</translation>
    </message>
    <message>
        <source>回  退</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>关 闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>v2d::TFormSample</name>
    <message>
        <source>装修模板</source>
        <translation>Decoration templates</translation>
    </message>
    <message>
        <source>选一间样板房，开始搭配</source>
        <translation>Pick a sample room and start matching</translation>
    </message>
    <message>
        <source>房间类型</source>
        <translation>Room</translation>
    </message>
    <message>
        <source>装修风格</source>
        <translation>Style</translation>
    </message>
    <message>
        <source>上一页</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>下一页</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>跳转到第</source>
        <translation>Go to</translation>
    </message>
    <message>
        <source>页</source>
        <translation> </translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>删除该模板</source>
        <translation>Delete this template</translation>
    </message>
    <message>
        <source>--所有类型--</source>
        <translation>--All rooms--</translation>
    </message>
    <message>
        <source>--所有风格--</source>
        <translation>--All styles--</translation>
    </message>
    <message>
        <source>当前页:%1/%2</source>
        <translation>Page %1/%2</translation>
    </message>
</context>
<context>
    <name>v2d::TFormSelParts</name>
    <message>
        <source>选择家居产品</source>
        <translation>Choose home products</translation>
    </message>
    <message>
        <source>产品类别</source>
        <translation>Product categories</translation>
    </message>
    <message>
        <source>当前类别：</source>
        <translation>Category: </translation>
    </message>
    <message>
        <source>名称：</source>
        <translation>Name: </translation>
    </message>
    <message>
        <source>编号：</source>
        <translation>Number: </translation>
    </message>
    <message>
        <source>规格：</source>
        <translation>Size: </translation>
    </message>
    <message>
        <source>价格：</source>
        <translation>Price: </translation>
    </message>
    <message>
        <source>商家：</source>
        <translation>Dealer:</translation>
    </message>
    <message>
        <source>材质：</source>
        <translation>Material:</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>每箱片数：</source>
        <translation>Pieces per box:</translation>
    </message>
    <message>
        <source>计价单位：</source>
        <translation>Price unit:</translation>
    </message>
    <message>
        <source>添加产品</source>
        <translation>Add products</translation>
    </message>
    <message>
        <source>更新信息</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>选定产品</source>
        <translation>Take product</translation>
    </message>
    <message>
        <source>添加大类</source>
        <translation>Add main category</translation>
    </message>
    <message>
        <source>删除大类</source>
        <translation>Delete main category</translation>
    </message>
    <message>
        <source>添加次类</source>
        <translation>Add subcategory</translation>
    </message>
    <message>
        <source>删除次类</source>
        <translation>Delete subcategory</translation>
    </message>
    <message>
        <source>双击将产品加入场景</source>
        <translation>Double-click to put the product into the scene</translation>
    </message>
    <message>
        <source>请选择产品。</source>
        <translation>Please choose a product.</translation>
    </message>
    <message>
        <source>没有产品图片。</source>
        <translation>There is no product picture.</translation>
    </message>
    <message>
        <source>删除产品</source>
        <translation>Delete product</translation>
    </message>
    <message>
        <source>“%1”不是有效的数值。</source>
        <translation>&quot;%1&quot; is not a valid number.</translation>
    </message>
    <message>
        <source>请选择产品图片。</source>
        <translation>Please choose a product picture.</translation>
    </message>
    <message>
        <source>产品编号不能为空。</source>
        <translation>The product number cannot be empty.</translation>
    </message>
    <message>
        <source>图片保存失败。</source>
        <translation>The picture could not be saved.</translation>
    </message>
    <message>
        <source>请选择图片文件 (*.jpg *.jpeg);;请选择图片文件 (*.jpg)</source>
        <translation>Picture files (*.jpg *.jpeg);;Picture files (*.jpg)</translation>
    </message>
    <message>
        <source>名称、编号或品牌</source>
        <translation>Name, number or brand</translation>
    </message>
    <message>
        <source>不限</source>
        <translation>any</translation>
    </message>
    <message>
        <source>搜索：</source>
        <translation>Search: </translation>
    </message>
    <message>
        <source>搜索结果：</source>
        <translation>Search results: </translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>花距(mm)：</source>
        <translation>Pattern repeat (mm):</translation>
    </message>
    <message>
        <source>加入对比</source>
        <translation>Add to comparison</translation>
    </message>
    <message>
        <source>把选中的材料加入对比，最多 4 种</source>
        <translation>Add the selected material to the comparison, at most 4</translation>
    </message>
    <message>
        <source>在场景中并排对比加入的材料</source>
        <translation>Compare the added materials side by side in the scene</translation>
    </message>
    <message>
        <source>对比 (%1)</source>
        <translation>Compare (%1)</translation>
    </message>
    <message>
        <source>该产品已加入对比。</source>
        <translation>This product is already in the comparison.</translation>
    </message>
    <message>
        <source>最多对比 4 种产品。</source>
        <translation>At most 4 products can be compared.</translation>
    </message>
    <message>
        <source>请至少加入两种产品再对比。</source>
        <translation>Please add at least two products before comparing.</translation>
    </message>
</context>
<context>
    <name>v2d::TFormShadow</name>
    <message>
        <source>阴影设置</source>
        <translation>Shadow settings</translation>
    </message>
    <message>
        <source>投射阴影</source>
        <translation>Cast shadow</translation>
    </message>
    <message>
        <source>阴影参数</source>
        <translation>Shadow</translation>
    </message>
    <message>
        <source>横向偏移：</source>
        <translation>Across:</translation>
    </message>
    <message>
        <source>纵向偏移：</source>
        <translation>Down:</translation>
    </message>
    <message>
        <source>阴影大小：</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>点击选择颜色</source>
        <translation>Click to choose a colour</translation>
    </message>
    <message>
        <source>阴影颜色：</source>
        <translation>Colour:</translation>
    </message>
    <message>
        <source>关闭(&amp;O)</source>
        <translation>Cl&amp;ose</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 不是有效的整数值。</source>
        <translation>&apos;%1&apos; is not a valid whole number.</translation>
    </message>
</context>
<context>
    <name>v2d::TFormSuperLogin</name>
    <message>
        <source>超级用户登录</source>
        <translation>Super user login</translation>
    </message>
    <message>
        <source>首次登录，请设置超级用户密码：</source>
        <translation>First login: please set the super user password:</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>关闭(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>用户名称</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>用户密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>新密码</source>
        <translation>New password</translation>
    </message>
    <message>
        <source>确认密码</source>
        <translation>Confirm password</translation>
    </message>
    <message>
        <source>用户名不得为空，请重新输入。</source>
        <translation>The user name cannot be empty. Please enter it again.</translation>
    </message>
    <message>
        <source>用户名或密码错误，请重新输入。</source>
        <translation>Wrong user name or password. Please enter them again.</translation>
    </message>
    <message>
        <source>两次输入的密码不一致，请重新输入。</source>
        <translation>The two passwords differ. Please enter them again.</translation>
    </message>
</context>
<context>
    <name>v2d::TFormTemple</name>
    <message>
        <source>模板名称</source>
        <translation>Template name</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>请输入模板名称：</source>
        <translation>Template name:</translation>
    </message>
    <message>
        <source>请选择房间类型：</source>
        <translation>Room type:</translation>
    </message>
    <message>
        <source>请选择装修风格：</source>
        <translation>Style:</translation>
    </message>
</context>
<context>
    <name>v2d::TFormWebTemp</name>
    <message>
        <source>选择%1装修模板</source>
        <translation>Choose %1 decoration templates</translation>
    </message>
    <message>
        <source>回  退</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>确  定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>v2d::tool::TFormV2dTool</name>
    <message>
        <source>模板工具</source>
        <translation>Template tool</translation>
    </message>
    <message>
        <source>标定</source>
        <translation>Calibrate</translation>
    </message>
    <message>
        <source>这条线的实际长度(mm)：</source>
        <translation>Real length of this line (mm):</translation>
    </message>
    <message>
        <source>区域</source>
        <translation>Regions</translation>
    </message>
    <message>
        <source>已选出表面（%1个洞）：单击加选，Shift+单击减选，拖动点或角点1-4修改，回车完成区域。</source>
        <translation>Surface found (%1 holes): click to add, Shift+click to remove, drag points or corners 1-4 to adjust, Enter to finish the region.</translation>
    </message>
    <message>
        <source>命令</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>另存为</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>新建区域</source>
        <translation>New region</translation>
    </message>
    <message>
        <source>智能选区</source>
        <translation>Smart select</translation>
    </message>
    <message>
        <source>完成区域</source>
        <translation>Finish region</translation>
    </message>
    <message>
        <source>删除区域</source>
        <translation>Delete region</translation>
    </message>
    <message>
        <source>删除点</source>
        <translation>Delete point</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>适合窗口</source>
        <translation>Fit to window</translation>
    </message>
    <message>
        <source>区域列表</source>
        <translation>Regions</translation>
    </message>
    <message>
        <source>名称：</source>
        <translation>Name: </translation>
    </message>
    <message>
        <source>实际宽度：</source>
        <translation>Real width:</translation>
    </message>
    <message>
        <source>实际高度：</source>
        <translation>Real height:</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>拖动黄色点修改轮廓，拖动紫色角点1-4设置透视；Ctrl+滚轮缩放，中键或Alt+拖动平移。</source>
        <translation>Drag the yellow points to change the outline, the purple corners 1-4 to set the perspective; Ctrl+wheel zooms, middle button or Alt+drag pans.</translation>
    </message>
    <message>
        <source>已保存：</source>
        <translation>Saved: </translation>
    </message>
    <message>
        <source>打开方案或照片</source>
        <translation>Open a scheme or a photo</translation>
    </message>
    <message>
        <source>方案或照片 (*.v2d *.jpg *.jpeg *.png *.bmp *.heic *.heif)</source>
        <translation>Schemes or photos (*.v2d *.jpg *.jpeg *.png *.bmp *.heic *.heif)</translation>
    </message>
    <message>
        <source>保存方案</source>
        <translation>Save scheme</translation>
    </message>
    <message>
        <source>Vexel2D文件 (*.v2d)</source>
        <translation>Vexel2D files (*.v2d)</translation>
    </message>
    <message>
        <source>单击照片上的地面、墙面或柜面，自动选出其轮廓。</source>
        <translation>Click a floor, wall or cabinet front in the photo to find its outline.</translation>
    </message>
    <message>
        <source>沿已知长度的物体（门宽、一块砖、房间宽度）拖出一条线。</source>
        <translation>Drag a line along something of known length (a door width, a tile, the room width).</translation>
    </message>
    <message>
        <source>标定：实际宽度 %1 mm，实际高度 %2 mm。</source>
        <translation>Calibrated: real width %1 mm, real height %2 mm.</translation>
    </message>
    <message>
        <source>新方案</source>
        <translation>New scheme</translation>
    </message>
    <message>
        <source>模板工具 v2dtool - </source>
        <translation>Template tool v2dtool - </translation>
    </message>
    <message>
        <source>操作提示：</source>
        <translation>Notice:</translation>
    </message>
    <message>
        <source>方案已修改，是否放弃修改并退出？</source>
        <translation>The scheme has changed. Discard the changes and exit?</translation>
    </message>
    <message>
        <source>打开方案或照片；“新建区域”后在照片上逐点单击轮廓，双击结束；“智能选区”后单击地面或墙面，自动选出轮廓；“识别房间”后单击地面，选出整个房间。</source>
        <translation>Open a scheme or a photo; after “New region” click the outline point by point and double-click to finish; after “Smart select” click a floor or wall to find its outline; after “Find room” click the floor to find the whole room.</translation>
    </message>
    <message>
        <source>识别房间</source>
        <translation>Find room</translation>
    </message>
    <message>
        <source>单击照片上的地面，识别整个房间；不单击时再按“识别房间”或回车，直接识别。</source>
        <translation>Click the floor in the photo to find the whole room, or press “Find room” again or Return to find it without a click.</translation>
    </message>
    <message>
        <source>正在识别房间……</source>
        <translation>Finding the room…</translation>
    </message>
    <message>
        <source>没有识别出房间：可以用“新建区域”逐点单击，或用“智能选区”单击表面，逐个选出区域。</source>
        <translation>No room was found: outline the regions one by one with “New region” (point by point) or “Smart select” (one click per surface).</translation>
    </message>
    <message>
        <source>已识别出%1个表面：单击表面选中，Delete删除选中的表面，“标定”画一条已知长度的线得到实际尺寸，回车完成区域。</source>
        <translation>Found %1 surfaces: click a surface to pick it, Delete removes the picked one, “Calibrate” with a line of known length gives the real sizes, Return finishes the regions.</translation>
    </message>
    <message>
        <source>标定：房间的%1个表面都有了实际尺寸；当前表面宽 %2 mm，高 %3 mm。</source>
        <translation>Calibrated: all %1 surfaces of the room have their real size; this surface is %2 mm wide and %3 mm high.</translation>
    </message>
    <message>
        <source>%1（草稿）</source>
        <translation>%1 (draft)</translation>
    </message>
    <message>
        <source>已完成%1个区域，保存后即可在主程序中铺贴。</source>
        <translation>%1 regions finished; save the scheme to lay products on them in the main program.</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>正在选出表面……</source>
        <translation>Finding the surface…</translation>
    </message>
    <message>
        <source>已停止，草稿保持不变。</source>
        <translation>Stopped; the drafts are as they were.</translation>
    </message>
</context>
</TS>
